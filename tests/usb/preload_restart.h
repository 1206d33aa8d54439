#pragma once
// umockdev's preload library must be loaded when a process starts. When it
// is not, this starts the program again with it added to LD_PRELOAD, after
// whatever is there (so a sanitizer run-time preloaded first stays first),
// and does not return; exits with 2 when it cannot. Programs started later
// inherit it.
namespace lw::usbtest {

void restartUnderPreload(char** argv);

}  // namespace lw::usbtest
