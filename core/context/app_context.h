#pragma once
// Program-wide state and the ports through which the logic reaches its
// platform. One AppContext is created by the program's entry point and
// passed to whoever needs it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/part_record.h"
#include "core/ports/module_port.h"

namespace lw {

class ClockPort;
class FileDialogPort;
class InstanceGuardPort;
class MessageBoxPort;
class ModulePort;
class SettingsPort;
class UpdateCheckPort;
class ResourceSource;

struct AppState {
  PartRecord part;
  uint16_t languageIndex = 0;              // table 256 + index; 0 English (the default), 1 Simplified Chinese
  uint16_t reservedWordDefault = 0x0100;   // put into every reset project record
  std::string commandLinePartName;         // first argument, or empty
  std::string commandLineFilePath;         // remaining arguments joined by single spaces
  std::atomic<int> startupFirmwareUpdateFlag{0};
  std::atomic<int> firmwareUpdateRunning{0};
  ModuleHandle linkLibrary = nullptr;
  ModuleHandle hexViewLibrary = nullptr;
  std::string linkLibraryPath;
  std::string programPath;                 // full path of the running program
  std::string applicationName;             // program file name without extension
  std::string documentsFolder;             // the user's documents folder; empty: the home folder
  uint64_t messageBoxesShown = 0;          // boxes shown through showBox(), UI thread only
};

struct Ports {
  MessageBoxPort* messages = nullptr;
  SettingsPort* settings = nullptr;
  FileDialogPort* files = nullptr;
  ClockPort* clock = nullptr;
  ModulePort* modules = nullptr;
  InstanceGuardPort* instanceGuard = nullptr;
  UpdateCheckPort* updateCheck = nullptr;
  // The one diagnostic line the program writes (the Link library path).
  std::function<void(const std::string&)> debugOutput;
  // The platform's own texts (the toolkit's dialogs and buttons) follow the
  // Language index; called when start-up has chosen it and on every change.
  std::function<void(uint16_t languageIndex)> platformLanguage;
};

struct AppContext {
  AppState state;
  Ports ports;
  const ResourceSource* resources = nullptr;
};

}  // namespace lw
