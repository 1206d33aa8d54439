#include "image/project_save.h"


#include "core/context/app_context.h"
#include "core/context/settings_keys.h"
#include "core/byte_sum.h"
#include "core/codes.h"
#include "image/code_buffer_access.h"
#include "image/code_file_host.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "image/file_replace.h"
#include "image/first_save_path.h"
#include "image/kpj_format.h"
#include "core/ports/message_box_port.h"

namespace lw {

namespace {

void showEmptyBuffer(AppContext& ctx) { showBox(ctx, languageTextOf(ctx, textkey::kCodeBufferEmpty), kEmptyBufferCaption, mb::kOk); }

}  // namespace

std::vector<FileFilter> projectSaveFilters(const AppContext& ctx) {
  return {namedFileFilter(languageTextOf(ctx, textkey::kVantrelProjectFilter), "*.kpj"),
          namedFileFilter(languageTextOf(ctx, textkey::kAllFormatFilter), "*.*")};
}

bool saveProjectCommand(CodeFileHost& host) {
  AppContext& ctx = host.context();
  if (codeBufferLength(host.hexView()) == 0) {
    showEmptyBuffer(ctx);
    return false;
  }

  std::string start = settings::kpjSavePath(*ctx.ports.settings);
  if (start.empty()) start = firstSaveProposal(ctx.state.programPath, ctx.state.documentsFolder);
  const std::optional<std::string> chosen =
      ctx.ports.files->saveFile(start, projectSaveFilters(ctx), kProjectExtension);
  if (!chosen) return false;
  settings::setKpjSavePath(*ctx.ports.settings, *chosen);

  // The buffer as it is now; the record describes exactly these bytes.
  const uint32_t length = codeBufferLength(host.hexView());
  if (length == 0) {
    showEmptyBuffer(ctx);
    return false;
  }
  const std::vector<uint8_t> image = fetchCodeBuffer(host.hexView(), length);
  host.readOptionCheckBoxes();

  // The record is stamped on a copy and kept only once the file is written.
  ProjectRecord record = host.codeFiles().project;
  const std::vector<uint8_t> tail = writeProjectRecord(record, ctx.state.part, length,
                                                       codeChecksum(image.data(), image.size()),
                                                       drawSaveStamp(*ctx.ports.clock));
  const FileReplaceResult written = replaceFileContent(*chosen, {image, tail});
  if (!written.ok) {
    const std::string message =
        languageTextOf(ctx, textkey::kProjectNotWritten) + "\n\n" + *chosen + "\n" +
        fileErrorTextOf(ctx, written.error, written.detail);
    showBox(ctx, message, languageTextOf(ctx, textkey::kError), mb::kIconError);
    return false;
  }
  host.codeFiles().project = record;

  // Cancel leaves the complete project file and no form.
  if (const std::optional<RequestAddressing> addressing = host.askRequestAddressing()) {
    host.codeFiles().requestAddressing = *addressing;
    host.showRequestForm(*chosen);
  }
  return true;
}

}  // namespace lw
