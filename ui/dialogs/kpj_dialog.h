#pragma once
// The KPJ Dialog (dialog 207): after a project is saved, offers to make its
// request form and asks for the form's address block. Its texts are those
// of its template, held in the Language tables so that they change language.
#include <cstdint>

#include "image/request_addressing.h"
#include "core/ids/kpj_dialog_ids.h"

namespace lw {

class DialogPort;
class ResourceSource;

class KpjDialog {
 public:
  KpjDialog(const ResourceSource& resources, uint16_t languageIndex);

  // The texts from the language table; the three fields start empty.
  void onInit(DialogPort& dialog);
  // OK takes the three fields; Cancel (also Escape) closes.
  void onCommand(DialogPort& dialog, int id);

  // The fields as they were at OK.
  const RequestAddressing& result() const { return result_; }

 private:
  const ResourceSource& resources_;
  uint16_t languageIndex_;
  RequestAddressing result_;
};

}  // namespace lw
