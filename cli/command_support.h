#pragma once
// What the subcommands share: the progress style for the output at hand,
// choosing the adapter, opening a session on the part named, loading the
// input files, and the result: exit status, the --json object and a hint
// when a question was declined.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/console_session.h"
#include "core/json_writer.h"

namespace lw::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// A bar on a terminal; with --progress, lines when standard error is not one
// (unless --json prints the progress as JSON lines).
ProgressStyle progressStyleFor(const Options& options);

SessionSetup sessionSetupFor(const Options& options);

// Selects the HID backend --adapter names (none given: the environment's).
// False, with a usage message, when the HID layer refuses it.
bool selectAdapter(const Options& options);

// With several adapters on offer and none chosen, a run takes the first in
// normal mode; this says which on standard error, so that nobody programs
// another board than the one meant without being told.
void warnWhenSeveralAdapters();

// The place of the adapter a job runs on, for the production log: the one
// the run opened ("usb:1-2.3", "emulator:DIR"); when it opened none,
// --adapter, else $LOOMWRITE_ADAPTER, else "usb".
std::string adapterPlace(const Options& options);

// Opens the session on --part. Returns kExitOk, or kExitUsage after saying
// that no part matched the name.
int openOnPart(ConsoleSession& session, const Options& options);

// Loads every input file in order. kExitOk, or kExitFailed when a file was
// not loaded (cancelled at the size warning, refused, cannot be opened).
// A failure no box explained is put in *why when given.
int loadInputs(ConsoleSession& session, const Options& options, std::string* why = nullptr);

// After the loads: kExitOk, or kExitFailed with a message when the Code
// buffer stayed empty (every file was empty or held no data), so that
// nothing empty is written out or programmed as if it were an image.
int requireLoadedCode(ConsoleSession& session);

// Everything an adapter job needs before it runs: the Link library, the
// part, the loaded files (with requireCode, a Code buffer that is not
// empty) and the option settings. kExitOk, or the exit status to end with;
// then *why, when given, holds the reason unless a box has said it.
int prepareAdapterJob(ConsoleSession& session, const Options& options, bool requireCode, std::string* why = nullptr);

// Refuses a run whose outputs (--out, the project kpj save writes, the
// form's outputs, --log) name one of its inputs or each other, or a file
// that is not a regular one: kExitOk, or kExitUsage after saying so, before
// anything is written.
int refuseClashingOutputs(const Options& options);

// After an adapter operation that did not pass: "Update Target failed at
// erase (command 13): status 1 (checksum mismatch)", printed on standard
// error as the run's one line about where it failed. Empty (and nothing
// printed) when the operation did not get as far as any step.
std::string reportRunFailure(ConsoleSession& session, const char* operation);

// "FE FF FF ..."
std::string hexBytes(const uint8_t* bytes, std::size_t n);
inline std::string hexBytes(const std::vector<uint8_t>& bytes) { return hexBytes(bytes.data(), bytes.size()); }

// A usage error found once the command ran (an unknown option name...).
int usageError(const std::string& message);

// Ends a command: adds "ok", "exit" and the message lines to the object,
// prints it with --json, and says how to answer a declined question.
int finish(const Options& options, JsonObject& json, int exitStatus, const ConsoleMessageBoxes* messages);

}  // namespace lw::cli
