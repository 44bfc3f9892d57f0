#include "compose_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/composer_commands.h"
#include "forms/composer_frame.h"
#include "forms/composer_header.h"
#include "forms/content_check.h"
#include "forms/message_binding.h"
#include "forms/send_request.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "mm1/pdu_encoder.h"
#include "json_writer.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_messages.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"
#include "read_session.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

namespace fs = std::filesystem;

// A media type still to be found from the file; a generic attachment; text given directly.
constexpr DWORD kTypeToDetect = 0xFFFF0000;
constexpr DWORD kGenericAttachment = 0x7FFFF;
constexpr DWORD kDirectText = 0x3FFFF;
constexpr LPCWSTR kSorterListClass = u"CpSlideWnd";
// Files the host's message carries are read whole; a message holds nothing near this size.
constexpr std::uintmax_t kMaxImportBytes = 64u << 20;

EntryId EntryOf(IMessage* message) { return BinaryPropertyOf(message, PR_ENTRYID); }

std::string EntryHexOf(IMessage* message) { return HexOf(EntryOf(message)); }

struct FoundChild {
  int id;
  HWND window;
};

BOOL FindChildById(HWND window, LPARAM lParam) {
  auto* found = reinterpret_cast<FoundChild*>(lParam);
  if (GetDlgCtrlID(window) != found->id) return TRUE;
  found->window = window;
  return FALSE;
}

HWND DescendantWithId(HWND parent, int id) {
  FoundChild found{id, nullptr};
  EnumChildWindows(parent, &FindChildById, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

POINT CentreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PrintLine(JsonWriter& line) {
  std::printf("%s\n", line.EndObject().Text().c_str());
  std::fflush(stdout);
}

struct SpinValues {
  std::vector<HWND> windows;
};

// The sorter shows each slide's length as "<seconds>s" in the value field (a STATIC) of its spin
// bar, one row per slide in order.
BOOL CollectSpinValue(HWND window, LPARAM lParam) {
  WCHAR className[16] = {};
  if (GetClassNameW(window, className, 16) <= 0 || std::u16string_view(className) != u"STATIC") return TRUE;
  WCHAR text[16] = {};
  const int length = GetWindowTextW(window, text, 16);
  if (length >= 2 && text[length - 1] == u's') {
    bool digits = true;
    for (int i = 0; i < length - 1; ++i) digits = digits && text[i] >= u'0' && text[i] <= u'9';
    if (digits) reinterpret_cast<SpinValues*>(lParam)->windows.push_back(window);
  }
  return TRUE;
}

int SecondsShown(HWND window) {
  WCHAR text[16] = {};
  GetWindowTextW(window, text, 16);
  int seconds = 0;
  for (const WCHAR* c = text; *c >= u'0' && *c <= u'9'; ++c) seconds = seconds * 10 + (*c - u'0');
  return seconds;
}

const char* StepName(ComposeStep::Kind kind) {
  switch (kind) {
    case ComposeStep::Kind::kTo: return "to";
    case ComposeStep::Kind::kCc: return "cc";
    case ComposeStep::Kind::kBcc: return "bcc";
    case ComposeStep::Kind::kSubject: return "subject";
    case ComposeStep::Kind::kSlide: return "slide";
    case ComposeStep::Kind::kText: return "text";
    case ComposeStep::Kind::kPicture: return "picture";
    case ComposeStep::Kind::kAudio: return "audio";
    case ComposeStep::Kind::kVideo: return "video";
    case ComposeStep::Kind::kAttach: return "attach";
    case ComposeStep::Kind::kDuration: return "duration";
  }
  return "step";
}

}  // namespace

bool ComposeDriver::OpenTarget() {
  std::string error;
  if (m_options.mode) {
    ComPtr<IMessage> named = OpenReadTarget(m_store, m_options.source, &error);
    if (!named) {
      std::fprintf(stderr, "mmsform compose: %s\n", error.c_str());
      return false;
    }
    if (*m_options.mode == 5) {
      m_message = std::move(named);
      return true;
    }
    m_source = std::move(named);
  }
  m_message = NewDraftMessage(m_store, &error);
  if (!m_message) std::fprintf(stderr, "mmsform compose: %s\n", error.c_str());
  return static_cast<bool>(m_message);
}

// The host's own message carries the file as an attachment, as when another program hands a
// file to the messaging application to send.
bool ComposeDriver::AttachImport() {
  if (m_options.import.empty()) return true;
  std::error_code error;
  const std::uintmax_t size = fs::file_size(m_options.import, error);
  if (error || size > kMaxImportBytes) {
    std::fprintf(stderr, "mmsform compose: cannot read %s\n", m_options.import.c_str());
    return false;
  }
  std::ifstream file(m_options.import, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::u16string name = platform::Utf8ToUtf16(fs::path(m_options.import).filename().string());
  ComPtr<IAttach> attach;
  ULONG number = 0;
  SPropValue prop{};
  prop.ulPropTag = PR_ATTACH_FILENAME;
  prop.Value.lpszW = const_cast<LPWSTR>(name.c_str());
  ComPtr<IUnknown> object;
  const bool written =
      SUCCEEDED(m_message->CreateAttach(nullptr, 0, &number, attach.Receive())) &&
      SUCCEEDED(attach->SetProps(1, &prop, nullptr)) &&
      SUCCEEDED(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive())) &&
      SUCCEEDED(static_cast<IStream*>(object.Get())->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr)) &&
      SUCCEEDED(static_cast<IStream*>(object.Get())->Commit(0)) && SUCCEEDED(m_message->SaveChanges(KEEP_OPEN_READWRITE));
  if (!written) std::fprintf(stderr, "mmsform compose: the message cannot carry %s\n", m_options.import.c_str());
  return written;
}

ComposeRequest ComposeDriver::Request() const {
  ComposeRequest request;
  request.mode = m_options.mode.value_or(0);
  request.source = m_source.Get();
  if (!m_options.create.empty()) {
    request.words[2] = u"/" + platform::Utf8ToUtf16(m_options.create);
    request.words[4] = u"/C-C";
  }
  request.messageClass = GetConfigString(string_setting::kMMSClassName).View();
  return request;
}

void ComposeDriver::PrintPrompts() {
  const auto& prompts = platform::automation::PromptLog();
  for (; m_promptsPrinted < prompts.size(); ++m_promptsPrinted) {
    const auto& prompt = prompts[m_promptsPrinted];
    JsonWriter line;
    line.BeginObject().Key("prompt").String(platform::Utf16ToUtf8(prompt.kind));
    line.Key("caption").String(platform::Utf16ToUtf8(prompt.caption)).Key("text").String(platform::Utf16ToUtf8(prompt.text));
    PrintLine(line);
  }
}

void ComposeDriver::Shoot(const std::string& name) {
  if (m_options.pngDir.empty()) return;
  platform::automation::PumpUntilIdle();
  char file[96];
  std::snprintf(file, sizeof file, "%02d_%s.png", m_shots++, name.c_str());
  const fs::path path = fs::path(m_options.pngDir) / file;
  std::string error;
  JsonWriter line;
  if (platform::automation::Screenshot(path, &error)) {
    line.BeginObject().Key("png").String(path.string());
  } else {
    line.BeginObject().Key("png_error").String(error);
  }
  PrintLine(line);
}

bool ComposeDriver::TypeIntoField(int field, const std::string& text) {
  HWND edit = DescendantWithId(m_session.FrameWindow(), field);
  if (edit == nullptr) {
    std::fprintf(stderr, "mmsform compose: the compose form shows no field %d\n", field);
    return false;
  }
  // A person taps the field; one the header keeps folded away (Cc and Bcc while empty) is reached
  // from the keyboard instead.
  if (IsWindowVisible(edit)) {
    platform::automation::Tap(CentreOf(edit));
  } else {
    SetFocus(edit);
  }
  // After what the field holds already, as a person adds one more recipient.
  const auto length = static_cast<LPARAM>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
  SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(length), length);
  std::u16string typed = platform::Utf8ToUtf16(text);
  if (length > 0 && field != header_field::kSubject) typed.insert(0, u";");
  return platform::automation::TypeText(typed);
}

bool ComposeDriver::AddFile(const std::string& file, DWORD type) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) {
    std::fprintf(stderr, "mmsform compose: no file %s\n", file.c_str());
    return false;
  }
  m_inputs.push_back(std::make_unique<DeviceInput>(file));
  SendMessageW(m_session.FrameWindow(), composer_message::kAddObject, type, reinterpret_cast<LPARAM>(m_inputs.back()->path()));
  return true;
}

// As a person sets a slide's length: the slide sorter opens, the arrow keys step the current
// slide's seconds until the spin bar shows the wanted value (or its limit), and Done closes it.
bool ComposeDriver::SetDuration(const std::string& seconds) {
  const int wanted = std::atoi(seconds.c_str());
  int shown = -1;
  const platform::automation::HookId hook = platform::automation::OnWindowAppears(
      kSorterListClass, u"",
      [&](HWND list) {
        HWND dialog = GetParent(list);
        SpinValues values;
        EnumChildWindows(dialog, &CollectSpinValue, reinterpret_cast<LPARAM>(&values));
        // Rows stand one below the other in slide order.
        std::sort(values.windows.begin(), values.windows.end(), [](HWND a, HWND b) {
          RECT first{}, second{};
          GetWindowRect(a, &first);
          GetWindowRect(b, &second);
          return first.top < second.top;
        });
        if (static_cast<std::size_t>(m_currentSlide) < values.windows.size()) {
          HWND value = values.windows[static_cast<std::size_t>(m_currentSlide)];
          // The arrow keys of the focused list step the current slide's seconds.
          SetFocus(list);
          for (int before = -1; SecondsShown(value) != wanted && SecondsShown(value) != before;) {
            before = SecondsShown(value);
            const UINT key = before < wanted ? VK_RIGHT : VK_LEFT;
            SendMessageW(list, WM_KEYDOWN, key, 0);
            SendMessageW(list, WM_KEYUP, key, 0);
            platform::automation::PumpUntilIdle();
          }
          shown = SecondsShown(value);
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      true);
  platform::automation::SendCommand(m_session.FrameWindow(), composer_command::kOrganiseSlides);
  platform::automation::PumpUntilIdle();
  platform::automation::RemoveHook(hook);
  JsonWriter line;
  line.BeginObject().Key("duration_s").Int(shown);
  PrintLine(line);
  if (shown != wanted) {
    std::fprintf(stderr, "mmsform compose: the slide takes %d s, not %d s\n", shown, wanted);
    return shown >= 0;
  }
  return true;
}

bool ComposeDriver::WriteOut() {
  if (m_options.out.empty()) return true;
  auto fail = [](const std::string& why) {
    std::fprintf(stderr, "mmsform compose: --out: %s\n", why.c_str());
    return false;
  };
  MessageBinding binding;
  if (!LoadBinding(binding, m_message.Get(), nullptr, 5)) return fail("the stored message cannot be bound");
  auto data = platform::HostPath(binding.DataFile().View());
  if (!data) return fail("the data file lies outside the device");
  auto bytes = mm1::ReadWholeFile(*data, mm1::kMaxMessageFileBytes);
  if (!bytes) return fail(bytes.Failure().message);
  auto body = mm1::DecodePdu(bytes.Value());
  if (!body) return fail(body.Failure().message);
  auto request = ComposeSendRequest(body.Value(), binding.Message(), MessageNumber(binding.Identifier()));
  if (!request) return fail(request.Failure().message);
  auto encoded = mm1::EncodePdu(request.Value());
  if (!encoded) return fail(encoded.Failure().message);
  if (auto written = mm1::WriteFileAtomically(m_options.out, encoded.Value()); !written) {
    return fail(written.Failure().message);
  }
  JsonWriter line;
  line.BeginObject().Key("out").String(m_options.out);
  PrintLine(line);
  return true;
}

bool ComposeDriver::ChooseTemplate() {
  HWND window = m_session.FrameWindow();
  auto* frame = dynamic_cast<CComposerFrame*>(reinterpret_cast<CWndBase*>(GetWindowLongW(window, GWL_USERDATA)));
  CTemplateChooser* chooser = frame != nullptr ? frame->TemplateChooser() : nullptr;
  if (chooser == nullptr) {
    if (!m_options.templateName) return true;
    std::fprintf(stderr, "mmsform compose: --template: the compose form offers no templates for this message\n");
    return false;
  }
  Shoot("templates");
  CTemplateWnd& list = chooser->List();
  const auto& entries = chooser->Store().Entries();
  int index = -1;
  if (m_options.templateName) {
    index = list.IndexOf(platform::Utf8ToUtf16(*m_options.templateName));
    if (index < 0) {
      std::fprintf(stderr, "mmsform compose: --template: no template named '%s' (mmsform templates list names them)\n",
                   m_options.templateName->c_str());
      return false;
    }
  } else {
    auto custom = std::find_if(entries.begin(), entries.end(), [](const TemplateEntry& entry) { return entry.flag == 1; });
    if (custom != entries.end()) index = static_cast<int>(custom - entries.begin());
  }
  JsonWriter line;
  if (index < 0) {
    // A store without its custom entry: the message stays the empty one it is.
    platform::automation::SendCommand(chooser->GetHandle(), composer_command::kCancel);
    line.BeginObject().Key("template").Null();
  } else {
    const TemplateEntry entry = entries[static_cast<std::size_t>(index)];
    // As a person does: the arrow keys to the entry, then "Use".
    list.Select(index);
    platform::automation::SendCommand(chooser->GetHandle(), composer_command::kChooseTemplate);
    line.BeginObject().Key("template").String(platform::Utf16ToUtf8(entry.name.View())).Key("custom").Bool(entry.flag == 1);
  }
  platform::automation::PumpUntilIdle();
  PrintPrompts();
  PrintLine(line);
  if (frame->TemplateChooser() != nullptr || !IsWindowVisible(window)) {
    std::fprintf(stderr, "mmsform compose: the template chooser did not close\n");
    return false;
  }
  return true;
}

bool ComposeDriver::Step(const ComposeStep& step) {
  HWND frame = m_session.FrameWindow();
  switch (step.kind) {
    case ComposeStep::Kind::kTo: return TypeIntoField(header_field::kTo, step.value);
    case ComposeStep::Kind::kCc: return TypeIntoField(header_field::kCc, step.value);
    case ComposeStep::Kind::kBcc: return TypeIntoField(header_field::kBcc, step.value);
    case ComposeStep::Kind::kSubject: return TypeIntoField(header_field::kSubject, step.value);
    case ComposeStep::Kind::kSlide:
      ++m_currentSlide;
      return platform::automation::SendCommand(frame, composer_command::kAddSlide);
    case ComposeStep::Kind::kText: {
      const std::u16string text = platform::Utf8ToUtf16(step.value);
      SendMessageW(frame, composer_message::kAddObject, kDirectText, reinterpret_cast<LPARAM>(text.c_str()));
      return true;
    }
    case ComposeStep::Kind::kPicture:
    case ComposeStep::Kind::kAudio:
    case ComposeStep::Kind::kVideo: return AddFile(step.value, kTypeToDetect);
    case ComposeStep::Kind::kAttach: return AddFile(step.value, kGenericAttachment);
    case ComposeStep::Kind::kDuration: return SetDuration(step.value);
  }
  return false;
}

int ComposeDriver::End() {
  const std::string entry = EntryHexOf(m_message.Get());
  if (m_options.end == ComposeEnd::kLeave) {
    m_session.Close();
    JsonWriter line;
    line.BeginObject().Key("left").String(entry);
    PrintLine(line);
    return 0;
  }
  const bool sending = m_options.end == ComposeEnd::kSend;
  platform::automation::SendCommand(m_session.FrameWindow(), sending ? composer_command::kSend : composer_command::kCloseKeep);
  platform::automation::PumpUntilIdle();
  PrintPrompts();
  JsonWriter line;
  if (m_session.IsOpen()) {
    Shoot("refused");
    m_session.Close();
    line.BeginObject().Key("refused").String(sending ? "send" : "save");
    PrintLine(line);
    return 1;
  }
  line.BeginObject().Key(sending ? "sent" : "saved").String(entry);
  PrintLine(line);
  return WriteOut() ? 0 : 1;
}

bool ComposeDriver::RemoveMadeMessage() {
  SizedSPropTagArray<2> tags{2, {PR_ENTRYID, PR_PARENT_ENTRYID}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  bool removed = false;
  if (SUCCEEDED(m_message->GetProps(tags.get(), 0, &count, &values)) && count == 2 &&
      values[0].ulPropTag == PR_ENTRYID && values[1].ulPropTag == PR_PARENT_ENTRYID) {
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    if (SUCCEEDED(m_store->OpenEntry(values[1].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[1].Value.bin.lpb),
                                     nullptr, MAPI_MODIFY, &kind, object.Receive())) &&
        kind == MAPI_FOLDER) {
      ENTRYLIST list{1, &values[0].Value.bin};
      removed = SUCCEEDED(static_cast<IMAPIFolder*>(object.Get())->DeleteMessages(&list, 0, nullptr, 0));
    }
  }
  MAPIFreeBuffer(values);
  if (!removed) std::fprintf(stderr, "mmsform compose: the message made for the check stays in the store\n");
  return removed;
}

int ComposeDriver::Check() {
  HWND window = m_session.FrameWindow();
  auto* frame = dynamic_cast<CComposerFrame*>(reinterpret_cast<CWndBase*>(GetWindowLongW(window, GWL_USERDATA)));
  if (frame == nullptr || frame->Header() == nullptr || frame->Editor() == nullptr) {
    std::fprintf(stderr, "mmsform compose: the compose form has no header or no message to check\n");
    m_session.Close();
    return 1;
  }
  // The texts are what the check is for: they are printed, not unexpected.
  platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt&) {});
  const bool recipients = frame->Header()->ValidateRecipients(window);
  PrintPrompts();
  const bool content = CheckMessage(&frame->Editor()->Model(), window, true, MessageOperation::kSend);
  PrintPrompts();
  platform::automation::SetUnexpectedPromptHandler(nullptr);
  JsonWriter line;
  line.BeginObject().Key("check").String(recipients && content ? "passed" : "refused");
  line.Key("recipients").Bool(recipients).Key("content").Bool(content);
  PrintLine(line);
  m_session.Close();
  platform::automation::PumpUntilIdle();
  PrintPrompts();
  // A stored message that was reopened is the user's and stays; one made for this run goes.
  const bool kept = m_options.mode == 5u || RemoveMadeMessage();
  return recipients && content && kept ? 0 : 1;
}

bool ComposeDriver::Start(std::function<void()> closed) {
  if (!OpenTarget() || !AttachImport()) return false;
  // In the live window a person picks from the template chooser, unless --template picked already.
  const bool personChooses = static_cast<bool>(closed) && !m_options.templateName;
  for (int answer : m_options.answers) platform::automation::QueueAnswer(answer);
  m_stampBefore = DataFileStamp();
  const HRESULT hr = m_session.Open(m_message.Get(), Request(), std::move(closed));
  if (FAILED(hr)) {
    std::fprintf(stderr, "mmsform compose: the compose form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    return false;
  }
  platform::automation::PumpUntilIdle();
  PrintPrompts();
  if (!m_session.IsOpen()) {
    JsonWriter line;
    line.BeginObject().Key("closed_at_once").Bool(true);
    PrintLine(line);
    return false;
  }
  if (!personChooses && !ChooseTemplate()) {
    m_session.Close();
    return false;
  }
  Shoot("open");
  for (const ComposeStep& step : m_options.steps) {
    if (!Step(step)) {
      m_session.Close();
      return false;
    }
    platform::automation::PumpUntilIdle();
    PrintPrompts();
    Shoot(StepName(step.kind));
    if (!m_session.IsOpen()) {
      JsonWriter line;
      line.BeginObject().Key("closed").String(StepName(step.kind));
      PrintLine(line);
      return false;
    }
  }
  return true;
}

int ComposeDriver::Run() {
  if (!Start({})) return 1;
  return m_options.check ? Check() : End();
}

std::optional<std::pair<std::uintmax_t, std::int64_t>> ComposeDriver::DataFileStamp() {
  MessageBinding binding;
  if (!LoadBinding(binding, m_message.Get(), nullptr, 5)) return std::nullopt;
  const auto data = platform::HostPath(binding.DataFile().View());
  std::error_code error;
  if (!data || !fs::is_regular_file(*data, error)) return std::nullopt;
  const std::uintmax_t size = fs::file_size(*data, error);
  const auto time = fs::last_write_time(*data, error);
  if (error) return std::nullopt;
  return std::make_pair(size, static_cast<std::int64_t>(time.time_since_epoch().count()));
}

ComposeOutcome ComposeDriver::Finish() {
  const std::string entry = EntryHexOf(m_message.Get());
  ComposeOutcome outcome{"discarded", FolderHolding(m_store, EntryOf(m_message.Get()))};
  const ULONG folder = outcome.folder != nullptr ? outcome.folder->storeTag : 0;
  if (folder == PR_OUTBOX_FOLDER_ENTRYID || folder == PR_SENTMAIL_FOLDER_ENTRYID) {
    outcome.what = "sent";
  } else if (folder != 0) {
    // Kept when the form wrote the message's data anew; a close that changed nothing kept nothing.
    const auto stamp = DataFileStamp();
    if (stamp && stamp != m_stampBefore) outcome.what = "saved";
  }
  JsonWriter line;
  line.BeginObject().Key(outcome.what).String(entry);
  if (outcome.folder != nullptr) line.Key("folder").String(platform::Utf16ToUtf8(outcome.folder->name));
  PrintLine(line);
  // A stored message that was reopened is the user's and stays; an empty one made for this run goes.
  if (!outcome.Kept() && m_options.mode != 5u && outcome.folder != nullptr && RemoveMadeMessage()) {
    outcome.folder = nullptr;
  }
  return outcome;
}

}  // namespace mmsform_tool
