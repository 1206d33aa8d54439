// The USB tests run under umockdev's preload library; the programs they
// start inherit it.
#include <gtest/gtest.h>

#include <csignal>

#include "tests/usb/preload_restart.h"

int main(int argc, char** argv) {
  lw::usbtest::restartUnderPreload(argv);
  // An emulated node is a pseudo-terminal; a program that happens to lead
  // its session would take it as its terminal and be hung up with it.
  std::signal(SIGHUP, SIG_IGN);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
