/* A small Cortex-M0+ example for a 64 KiB Larch part: toggles a port pin
 * from the SysTick interrupt, about twice a second at the 8 MHz reset clock.
 * The register addresses are those of the part's GPIO block and the core's
 * SysTick timer. */
#include <stdint.h>

#define REG32(addr) (*(volatile uint32_t *)(addr))

#define SYST_CSR REG32(0xE000E010u)
#define SYST_RVR REG32(0xE000E014u)
#define SYST_CVR REG32(0xE000E018u)

#define RCC_AHBENR REG32(0x40021014u)
#define GPIOA_MODER REG32(0x50000000u)
#define GPIOA_ODR REG32(0x50000014u)

#define LED_PIN 5u
#define TICKS_PER_TOGGLE 250u

extern uint32_t _sidata, _sdata, _edata, _sbss, _ebss, _estack;

static volatile uint32_t ticks;
static uint32_t toggles = 0x4C57u; /* lands in .data so that start-up has something to copy */

void SysTick_Handler(void) {
  if (++ticks >= TICKS_PER_TOGGLE) {
    ticks = 0;
    GPIOA_ODR ^= 1u << LED_PIN;
    ++toggles;
  }
}

int main(void) {
  RCC_AHBENR |= 1u << 17;                                   /* clock the port */
  GPIOA_MODER = (GPIOA_MODER & ~(3u << (LED_PIN * 2))) | (1u << (LED_PIN * 2)); /* output */
  SYST_RVR = 8000u - 1u;                                    /* 1 ms at 8 MHz */
  SYST_CVR = 0;
  SYST_CSR = 7u;                                            /* core clock, interrupt, enable */
  for (;;) __asm volatile("wfi");
}

void Reset_Handler(void) {
  uint32_t *src = &_sidata;
  for (uint32_t *dst = &_sdata; dst < &_edata;) *dst++ = *src++;
  for (uint32_t *dst = &_sbss; dst < &_ebss;) *dst++ = 0;
  main();
  for (;;) {
  }
}

void Default_Handler(void) {
  for (;;) {
  }
}

void NMI_Handler(void) __attribute__((weak, alias("Default_Handler")));
void HardFault_Handler(void) __attribute__((weak, alias("Default_Handler")));
void SVC_Handler(void) __attribute__((weak, alias("Default_Handler")));
void PendSV_Handler(void) __attribute__((weak, alias("Default_Handler")));

__attribute__((section(".isr_vector"), used)) void (*const vectors[48])(void) = {
    (void (*)(void))(&_estack),
    Reset_Handler,
    NMI_Handler,
    HardFault_Handler,
    0, 0, 0, 0, 0, 0, 0,
    SVC_Handler,
    0, 0,
    PendSV_Handler,
    SysTick_Handler,
    /* 32 peripheral interrupts, unused by this example */
    Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler,
};
