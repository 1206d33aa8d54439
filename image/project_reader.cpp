#include "image/project_reader.h"

#include <algorithm>

#include "core/context/app_context.h"
#include "core/codes.h"
#include "image/code_buffer_access.h"
#include "image/code_file_host.h"
#include "core/context/messages.h"
#include "core/ids/language_keys.h"
#include "image/kpj_format.h"
#include "resources/part_database.h"

namespace lw {

namespace {

constexpr int kFailed = 1;

// The project could not be taken: the part box selects the record's part
// (none after a failed header check) and that choice is applied afresh,
// which empties the Code buffer.
int failureEnding(CodeFileHost& host) {
  host.selectPartEntry(host.codeFiles().project.partIndex);
  host.choosePartForced();
  return kFailed;
}

void readRecord(CodeFileHost& host, std::span<const uint8_t> file, const ProjectRecordLayout& layout,
                bool withBody) {
  ProjectRecord& record = host.codeFiles().project;
  resetProjectRecord(record, host.context().state.reservedWordDefault);
  readProjectTail(file, layout, record);
  if (withBody) readProjectBody(file, layout, record);
}

}  // namespace

int readProjectFile(CodeFileHost& host, const std::string& path, std::span<const uint8_t> file) {
  AppContext& ctx = host.context();
  const std::optional<ProjectRecordLayout> layout = checkProjectFile(file);
  if (!layout) {
    messageByKeys(ctx, textkey::kError, textkey::kIncompatible, mb::kIconError);
    return kFailed;
  }

  ProjectRecord& record = host.codeFiles().project;
  readRecord(host, file, *layout, false);
  const unsigned stopBox = mb::kOkCancel | mb::kIconError;
  if (!hasProjectMagic(record)) {
    applicationBox(ctx, textkey::kNotAProject, stopBox);
    return failureEnding(host);
  }
  if (record.version > kProjectVersion) {
    applicationBox(ctx, textkey::kNewerEdition, stopBox);
    return failureEnding(host);
  }
  if (record.version < kProjectVersion &&
      applicationBox(ctx, textkey::kOldEdition, mb::kYesNo | mb::kIconQuestion) != kIdYes) {
    return failureEnding(host);
  }
  readProjectBody(file, *layout, record);

  const std::size_t imageSize = layout->start;
  if (imageSize == 0) return failureEnding(host);

  // A part the program does not offer could not be selected; taking it
  // anyway would apply an empty part. The current job stays as it is.
  if (!partIsOffered(*ctx.resources, record.partIndex)) {
    messageByKeys(ctx, textkey::kError, textkey::kTargetNotSupported, mb::kIconError);
    return kFailed;
  }

  const uint16_t partIndex = record.partIndex;
  host.selectSeriesAndPart(partIndex);
  host.choosePartForced();
  // Choosing the part reset the project record; take it from the file again.
  readRecord(host, file, *layout, true);

  PartRecord& part = ctx.state.part;
  part.partIndex = partIndex;
  const std::size_t optionCount = std::min<std::size_t>({part.optionByteCount, record.optionBlockLength,
                                                         kOptionBytesInBlock});
  std::copy_n(record.optionBlock.begin(), optionCount, part.optionBytes.begin());
  host.showProjectOptionBytes();

  showLoadedImage(host, path, file.first(imageSize));
  return 0;
}

}  // namespace lw
