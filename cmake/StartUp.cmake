# What keeps a run of loomwrite-cli cheap to start (docs/performance.md):
# scripts and gang workers start it once per file or board.

# The command-line tool and the HID layer it links carry their own copy of
# the C++ run-time: loading and relocating libstdc++ would cost a run of the
# tool more CPU than converting a 64 KiB HEX file does. Only C interfaces
# cross between them and the modules loaded later. The sanitizer build keeps
# the shared run-time its interceptors expect.
if(LW_SANITIZE)
  set(LW_OWN_CXX_RUNTIME "")
else()
  set(LW_OWN_CXX_RUNTIME -static-libstdc++ -static-libgcc)
endif()

# A Release build leaves out the code nothing calls: a smaller program maps
# and faults in fewer pages each time it starts.
add_compile_options($<$<CONFIG:Release>:-ffunction-sections> $<$<CONFIG:Release>:-fdata-sections>)
add_link_options($<$<CONFIG:Release>:-Wl,--gc-sections>)
