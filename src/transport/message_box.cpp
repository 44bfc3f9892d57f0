#include "transport/message_box.h"

#include "platform/window/window_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace transport {
namespace {

VoiceMailClassQuery& Query() {
  static VoiceMailClassQuery query = nullptr;
  return query;
}

}  // namespace

void SetVoiceMailClassQuery(VoiceMailClassQuery query) { Query() = query; }

bool VoiceMailClassConfigured() { return Query() && Query()() != 0; }

CString MessageBoxCaption() {
  CString caption = LoadResourceString(kCaptionString);
  caption += u' ';
  return caption;
}

}  // namespace transport

int CMMSGlobal::MessageBoxW(HWND owner, UINT textId, UINT style) {
  return MessageBoxW(owner, transport::LoadResourceString(textId), style);
}

int CMMSGlobal::MessageBoxW(HWND owner, LPCWSTR text, UINT style) {
  CString caption = transport::MessageBoxCaption();
  return ::MessageBoxW(owner, text ? text : u"", caption, style);
}
