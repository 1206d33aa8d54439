#include "cli/form_outputs.h"

#include <cstdio>

#include "core/ids/language_keys.h"
#include "core/text.h"
#include "image/file_replace.h"
#include "cli/qt_module.h"
#include "resources/embedded_resources.h"
#include "resources/language.h"

namespace lw::cli {

lw::RequestAddressing addressingOf(const Options& o) {
  return {o.to.value_or(""), o.from.value_or(""), o.partNo.value_or("")};
}

bool writeFormOutputs(const FormOutputs& outputs, const std::u16string& form, JsonObject& json,
                      uint16_t languageIndex) {
  bool ok = true;
  auto failed = [&](const std::string& what, const std::string& path, const std::string& why) {
    std::fprintf(stderr, "loomwrite-cli: %s\n  %s: %s\n", what.c_str(), path.c_str(), why.c_str());
    ok = false;
  };
  auto tableText = [languageIndex](uint16_t key) {
    return languageText(embeddedResources(), languageIndex, key).value_or("");
  };
  if (!outputs.text.empty()) {
    // The text as formatted: CR LF between lines, none after the last.
    const std::string text = utf16ToUtf8(form);
    if (outputs.text == "-") {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fflush(stdout);
    } else {
      const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
      const FileReplaceResult written = replaceFileContent(outputs.text, {bytes});
      if (written.ok) {
        json.add("form_text", outputs.text);
      } else {
        failed("The form text could not be written !", outputs.text, written.detail);
      }
    }
  }
  // Only a picture or PDF page loads the Qt module.
  std::string unloaded;
  const QtModule* qt = outputs.bmp.empty() && outputs.pdf.empty() ? nullptr : QtModule::get(unloaded);
  auto draw = [&](bool pdf, const std::string& path) {
    if (!qt) return unloaded;
    return pdf ? qt->writeFormPdf(form, path) : qt->writeFormPicture(form, path);
  };
  if (!outputs.bmp.empty()) {
    if (const std::string why = draw(false, outputs.bmp); why.empty()) {
      json.add("form_bmp", outputs.bmp);
    } else {
      failed(tableText(textkey::kPictureNotWritten), outputs.bmp, why);
    }
  }
  if (!outputs.pdf.empty()) {
    if (const std::string why = draw(true, outputs.pdf); why.empty()) {
      json.add("form_pdf", outputs.pdf);
    } else {
      failed(tableText(textkey::kPdfNotWritten), outputs.pdf, why);
    }
  }
  return ok;
}

}  // namespace lw::cli
