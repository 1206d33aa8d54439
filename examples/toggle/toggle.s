/* The blinky example's pin toggle in Cortex-M0+ assembly, so that an ELF and
 * an S-record image can be built with binutils alone: PA5 toggles every
 * 250 SysTick interrupts of 1 ms at the 8 MHz reset clock. It has a .data
 * word (its flash copy follows .text) and a .bss word, as compiled code does. */
    .syntax unified
    .cpu cortex-m0plus
    .thumb

    .section .isr_vector, "a", %progbits
vectors:
    .word _estack
    .word Reset_Handler
    .word Default_Handler       /* NMI */
    .word Default_Handler       /* HardFault */
    .rept 7
    .word 0
    .endr
    .word Default_Handler       /* SVC */
    .word 0, 0
    .word Default_Handler       /* PendSV */
    .word SysTick_Handler

    .text
    .thumb_func
    .global Reset_Handler
Reset_Handler:
    ldr r0, =_sidata            /* .data from its flash copy */
    ldr r1, =_sdata
    ldr r2, =_edata
1:  cmp r1, r2
    bhs 2f
    ldr r3, [r0]
    str r3, [r1]
    adds r0, #4
    adds r1, #4
    b 1b
2:  ldr r1, =_sbss              /* .bss cleared */
    ldr r2, =_ebss
    movs r3, #0
3:  cmp r1, r2
    bhs 4f
    str r3, [r1]
    adds r1, #4
    b 3b
4:  ldr r0, =0x40021014         /* RCC_AHBENR: clock port A */
    ldr r1, [r0]
    ldr r2, =(1 << 17)
    orrs r1, r2
    str r1, [r0]
    ldr r0, =0x50000000         /* GPIOA_MODER: PA5 an output */
    ldr r1, [r0]
    ldr r2, =(3 << 10)
    bics r1, r2
    ldr r2, =(1 << 10)
    orrs r1, r2
    str r1, [r0]
    ldr r0, =0xE000E010         /* SysTick: 1 ms, core clock, interrupt, enable */
    ldr r1, =7999
    str r1, [r0, #4]
    movs r1, #0
    str r1, [r0, #8]
    movs r1, #7
    str r1, [r0]
5:  wfi
    b 5b

    .thumb_func
SysTick_Handler:
    ldr r0, =ticks
    ldr r1, [r0]
    adds r1, #1
    cmp r1, #250
    blo 6f
    ldr r2, =0x50000014         /* GPIOA_ODR */
    ldr r3, [r2]
    movs r1, #(1 << 5)
    eors r3, r1
    str r3, [r2]
    ldr r2, =toggles
    ldr r3, [r2]
    adds r3, #1
    str r3, [r2]
    movs r1, #0
6:  str r1, [r0]
    bx lr

    .thumb_func
Default_Handler:
    b Default_Handler

    .pool

    .data
    .align 2
toggles:
    .word 0x4C57

    .bss
    .align 2
ticks:
    .space 4
