// The settings tables. Each row sits at the index of its number, which the static_asserts below hold.
#include "config/setting_tables.h"

#include "platform/registry/registry.h"

namespace config {
namespace {

constexpr NumericSettingRow kNumericRows[] = {
    {0, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Inbox", 0},
    {1, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Outbox", 0},
    {2, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Deleted Items", 0},
    {3, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Sent Items", 0},
    {4, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Newbox", 0},
    {5, RegistryRoot::kLocalMachine, u"Config\\EntryID", u"Reportsbox", 0},
    {6, RegistryRoot::kLocalMachine, u"Config\\Capture", u"PhotoLandscape", -1},
    {7, RegistryRoot::kLocalMachine, u"Config\\Capture", u"PhotoRes", -1},
    {8, RegistryRoot::kLocalMachine, u"Config\\Capture", u"PhotoResolutionWidth", -1},
    {9, RegistryRoot::kLocalMachine, u"Config\\Capture", u"PhotoResolutionHeight", -1},
    {10, RegistryRoot::kLocalMachine, u"Config\\Capture", u"PhotoQuality", -1},
    {11, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoLandscape", -1},
    {12, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoRes", -1},
    {13, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoFileRatio", -1},
    {14, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoFormat", -1},
    {15, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoMode", -1},
    {16, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoResolutionWidth", -1},
    {17, RegistryRoot::kLocalMachine, u"Config\\Capture", u"VideoResolutionHeight", -1},
    {18, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"Priority", 0},
    {19, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"ExpiryTime", 0},
    {20, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"MessageClass", 0},
    {21, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"NeedDeliveryReport", 0},
    {22, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"NeedReadReport", 0},
    {23, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"SendAnonymously", 0},
    {24, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"ReplyCharging", 0},
    {25, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"PriorityFac", 0},
    {26, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"ExpiryTimeFac", 0},
    {27, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"MessageClassFac", 0},
    {28, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"NeedDeliveryReportFac", 0},
    {29, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"NeedReadReportFac", 0},
    {30, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"SendAnonymouslyFac", 0},
    {31, RegistryRoot::kLocalMachine, u"Config\\UI\\SendOption", u"ReplyChargingFac", 0},
    {32, RegistryRoot::kLocalMachine, u"Config\\UI\\SizeLimit", u"Wap1SendCount", -1},
    {33, RegistryRoot::kLocalMachine, u"Config\\UI\\SizeLimit", u"Wap2SendCount", -1},
    {34, RegistryRoot::kLocalMachine, u"Config\\UI\\SizeLimit", u"Wap1RecvCount", -1},
    {35, RegistryRoot::kLocalMachine, u"Config\\UI\\SizeLimit", u"Wap2RecvCount", -1},
    {36, RegistryRoot::kLocalMachine, u"Config\\UI\\TryLimit", u"TryDefault", -1},
    {37, RegistryRoot::kLocalMachine, u"Config\\mm1", u"SendDelayedNotifyResp", 0},
    {38, RegistryRoot::kLocalMachine, u"Config\\mm1", u"SuppressDelayedNotifyResp", 1},
    {39, RegistryRoot::kLocalMachine, u"Config\\mm1", u"EnableDebug", 4},
    {40, RegistryRoot::kLocalMachine, u"Config\\mm1", u"Enabledrmfl", 0},
    {41, RegistryRoot::kLocalMachine, u"Config\\mm1", u"WAP1DefaultPort", 9201},
    {42, RegistryRoot::kLocalMachine, u"Config\\mm1", u"WAP2DefaultPort", 80},
    {43, RegistryRoot::kLocalMachine, u"Config\\mm1", u"HTTPSDefaultPort", 443},
    {44, RegistryRoot::kLocalMachine, u"Config\\mm1", u"RecvSizeLimitType", 0},
    {45, RegistryRoot::kLocalMachine, u"Config\\mm1", u"WAPDefaultTimeout", 5000},
    {46, RegistryRoot::kLocalMachine, u"Config\\mm1", u"HTTPDefaultTimeout", 300000},
    {47, RegistryRoot::kLocalMachine, u"Config\\mm1", u"ReportAllowed", 1},
    {48, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableReceivePrompt", 0},
    {49, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableReceiveNotify", 0},
    {50, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableDownloadedPrompt", 0},
    {51, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableDownloadedNotify", 0},
    {52, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSentPrompt", 0},
    {53, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSentNotify", 0},
    {54, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableGenericPicker", 0},
    {55, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsShowServerResponseText", 0},
    {56, RegistryRoot::kLocalMachine, u"Config\\UI", u"ErrorHandleLevel", 0},
    {57, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableInsertUTF8BOM", 1},
    {58, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSlideCharsLimit", 0},
    {59, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedFailPrompt", 1},
    {60, RegistryRoot::kLocalMachine, u"Config\\UI", u"TransportReadyTimeOut", 60000},
    {61, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedDisplayMsgInfo", 1},
    {62, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedDisplayMMSCStatusText", 1},
    {63, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableAutoRecvPrompt", 0},
    {64, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportFullScreenPlayer", 0},
    {65, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableForwardWithoutDownload", 0},
    {66, RegistryRoot::kLocalMachine, u"Config\\UI", u"AllowAssignDRMPhotoToContact", 0},
    {67, RegistryRoot::kLocalMachine, u"Config\\UI", u"AllowAssignDRMAudioToRingtone", 0},
    {68, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportSentStatus", 0},
    {69, RegistryRoot::kLocalMachine, u"Config\\UI", u"HideNotification", 0},
    {70, RegistryRoot::kLocalMachine, u"Config\\UI", u"SendExpiredPDU", 0},
    {71, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableReportPrompt", 0},
    {72, RegistryRoot::kLocalMachine, u"Config\\UI", u"SendRejectPDU", 1},
    {73, RegistryRoot::kLocalMachine, u"Config\\UI", u"AutoDisconnect", 0},
    {74, RegistryRoot::kLocalMachine, u"Config\\UI", u"AutoResend", 0},
    {75, RegistryRoot::kLocalMachine, u"Config\\UI", u"AppendSpaceToSubject", 0},
    {76, RegistryRoot::kLocalMachine, u"Config\\UI", u"CaptureEnable", 0},
    {77, RegistryRoot::kLocalMachine, u"Config\\UI", u"ConnectviaMatchById", 0},
    {78, RegistryRoot::kLocalMachine, u"Config\\UI", u"CreateMessageFolder", 0},
    {79, RegistryRoot::kLocalMachine, u"Config\\UI", u"DefaultResolution", 5},
    {80, RegistryRoot::kLocalMachine, u"Config\\UI", u"DownloadHomeNetworkOnly", 0},
    {81, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableAddressMatch", 1},
    {82, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxSlides", 9},
    {83, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSaveRecord", 0},
    {84, RegistryRoot::kLocalMachine, u"Config\\UI", u"RejectAllMessage", 0},
    {85, RegistryRoot::kLocalMachine, u"Config\\UI", u"DenyAnonymousMsg", 0},
    {86, RegistryRoot::kLocalMachine, u"Config\\UI", u"AllowSendReadReport", 1},
    {87, RegistryRoot::kLocalMachine, u"Config\\UI", u"TextHScrollTimeOut", 50},
    {88, RegistryRoot::kLocalMachine, u"Config\\UI", u"TextVScrollTimeOut", 300},
    {89, RegistryRoot::kLocalMachine, u"Config\\UI", u"TextHScrollDelayTime", 1000},
    {90, RegistryRoot::kLocalMachine, u"Config\\UI", u"TextVScrollDelayTime", 1000},
    {91, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableServerEdit", 1},
    {92, RegistryRoot::kLocalMachine, u"Config\\UI", u"MinimumRecordSize", 10240},
    {93, RegistryRoot::kLocalMachine, u"Config\\UI", u"ExpirationCount", 0},
    {94, RegistryRoot::kLocalMachine, u"Config\\UI", u"DeliveryTimeCount", 0},
    {95, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsTestRoam", 0},
    {96, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsRoaming", 0},
    {97, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsSupportDrm", 1},
    {98, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsDeleteReportAfterRead", 0},
    {99, RegistryRoot::kLocalMachine, u"Config\\UI", u"AlwaysChooseCustom", 0},
    {100, RegistryRoot::kLocalMachine, u"Config\\UI", u"SlideDuration", 2000},
    {101, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxDuration", 600000},
    {102, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSaveAudioObject", 1},
    {103, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableRemoveCountryCode", 0},
    {104, RegistryRoot::kLocalMachine, u"Config\\UI", u"RecordType", 0},
    {105, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableCDMATimeStamp", 0},
    {106, RegistryRoot::kLocalMachine, u"Config\\UI", u"NotificationDisplayTime", 5000},
    {107, RegistryRoot::kLocalMachine, u"Config\\UI", u"FlightModeOffTime", 10000},
    {108, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportReadReport", 1},
    {109, RegistryRoot::kLocalMachine, u"Config\\UI", u"FlixSlideCountLimit", 1},
    {110, RegistryRoot::kLocalMachine, u"Config\\UI", u"DefaultCreationMode", 2},
    {111, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedRecvSizeLimitCtrl", 0},
    {112, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportSendAnonymous", 0},
    {113, RegistryRoot::kLocalMachine, u"Config\\UI", u"EnableSaveObject", 0},
    {114, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedInsertRootLayout", 1},
    {115, RegistryRoot::kLocalMachine, u"Config\\UI", u"ConnResumeTime", 60},
    {116, RegistryRoot::kLocalMachine, u"Config\\UI", u"InboxDispTimeType", 1},
    {117, RegistryRoot::kLocalMachine, u"Config\\UI", u"InsertTimeStampWhenSending", 0},
    {118, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedPromptUserWhenCancelOrPostponeDownload", 1},
    {119, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportEmoticon", 0},
    {120, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportBlackList", 1},
    {121, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportFavoriteIE", 0},
    {122, RegistryRoot::kLocalMachine, u"Config\\UI", u"HideDlgControl", 0},
    {123, RegistryRoot::kLocalMachine, u"Config\\UI", u"SendExpireTimeInAbsolute", 0},
    {124, RegistryRoot::kLocalMachine, u"Config\\UI", u"SendDeliveryTimeInAbsolute", 0},
    {125, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMContentClassTextSizeLimit", 30720},
    {126, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMContentClassImageRichSizeLimit", 102400},
    {127, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMContentClassVideoRichSizeLimit", 307200},
    {128, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMSEventTimeOut", 60000},
    {129, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedAddSpaceAfterFwRe", 0},
    {130, RegistryRoot::kLocalMachine, u"Config\\UI", u"TelMatchLength", 9},
    {131, RegistryRoot::kLocalMachine, u"Config\\UI", u"PromptForActiveConnection", 0},
    {132, RegistryRoot::kLocalMachine, u"Config\\UI", u"AutoAppendSubject", 0},
    {133, RegistryRoot::kLocalMachine, u"Config\\UI", u"DenyAdvertisementMsg", 0},
    {134, RegistryRoot::kLocalMachine, u"Config\\UI", u"PlayerIdleTime", 5000},
    {135, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportTxtAutoScroll", 1},
    {136, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMSSettingInCompose", 0},
    {137, RegistryRoot::kLocalMachine, u"Config\\UI", u"ReservedSpace", 1024},
    {138, RegistryRoot::kLocalMachine, u"Config\\UI", u"CdmaTime", 0},
    {139, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxSubject", 40},
    {140, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxPhoneChars", 20},
    {141, RegistryRoot::kLocalMachine, u"Config\\UI", u"MinPhoneChars", 3},
    {142, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxRecipientsChars", 312},
    {143, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxEmailChars", 48},
    {144, RegistryRoot::kLocalMachine, u"Config\\UI", u"MinEmailChars", 5},
    {145, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxRecipients", 20},
    {146, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxCharsInSlide", 1000},
    {147, RegistryRoot::kLocalMachine, u"Config\\UI", u"NeedCheckMsgSize", 0},
    {148, RegistryRoot::kLocalMachine, u"\\Software\\Microsoft\\Pictures\\Camera\\OEM\\VideoProfile", u"OptionNum", 1},
    {149, RegistryRoot::kLocalMachine, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\MMSEQUENCE", u"MMSEQUENCE", 0},
    {150, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Sounds\\RingTone0", u"Sound", 0},
    {151, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Sounds\\RingTone1", u"Sound", 0},
    {152, RegistryRoot::kCurrentUser, u"\\ControlPanel\\SoundCategories\\System", u"InitVol", 0},
    {153, RegistryRoot::kCurrentUser, u"\\ControlPanel\\SoundCategories\\Ring", u"InitVol", 0},
    {154, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{3C850505-06F3-5035-C8F9-C25F19A93AF1}", u"Options", 1},
    {155, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{3C850506-07F3-6035-E8F9-C29F19A93AF2}", u"Options", 1},
    {156, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{70C48D00-C1A6-43cf-B4C5-5B4E771E2462}", u"Options", 1},
    {157, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{C3465585-39EF-4c9b-B2A3-5558BF27BFB0}", u"Options", 1},
    {158, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{3C781384-05F3-4035-A8F9-C23F19A93AF0}", u"Options", 1},
    {159, RegistryRoot::kCurrentUser, u"\\Software\\Microsoft\\Inbox\\Settings", u"SaveSent", 1},
    {160, RegistryRoot::kLocalMachine, u"Config\\UI", u"PreventPowerOffWhenPlayAudio", 1},
    {161, RegistryRoot::kLocalMachine, u"Config\\UI", u"Transparency", 1},
    {162, RegistryRoot::kLocalMachine, u"Config\\UI", u"Transparency", 1},
    {163, RegistryRoot::kCurrentUser, u"\\System\\State\\Messages\\MMS\\Unread", u"Count", 0},
    {164, RegistryRoot::kLocalMachine, u"Config\\UI", u"RecordRatio", 80},
    {165, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportFDN", 0},
    {166, RegistryRoot::kLocalMachine, u"Config\\FdnTest", u"FdnEmulator", 0},
    {167, RegistryRoot::kLocalMachine, u"\\SOFTWARE\\Microsoft\\Inbox\\Svc\\SMS\\MsgClasses", u"IPM.VoiceMail", 0},
    {168, RegistryRoot::kLocalMachine, u"\\Comm\\Cellular\\Ril", u"Contexts", 1},
    {169, RegistryRoot::kLocalMachine, u"Config\\FdnTest", u"Count", 10},
    {170, RegistryRoot::kLocalMachine, u"\\System\\State\\Connections\\Cellular", u"Count", 0},
    {171, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportEXIF", 0},
    {172, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsVoiceMailSupportText", 0},
    {173, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{0CD9B91C-BEA7-446d-9857-BD2F1E6BFE80}", u"Options", 1},
    {174, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportSignatureWhenForward", 1},
    {175, RegistryRoot::kLocalMachine, u"Config\\UI", u"MinimumCapturePhotoSize", 10240},
    {176, RegistryRoot::kLocalMachine, u"Config\\UI", u"MinimumCaptureVideoSize", 10240},
    {177, RegistryRoot::kLocalMachine, u"Config\\UI", u"IgnoreRoamStatus", 1},
    {178, RegistryRoot::kLocalMachine, u"Config\\UI", u"FileSortType", 1},
    {179, RegistryRoot::kLocalMachine, u"Config\\UI", u"StillImageHidePlaybar", 1},
    {180, RegistryRoot::kLocalMachine, u"\\Comm\\Cellular\\Ril", u"NetworkContexts", -1},
    {181, RegistryRoot::kLocalMachine, u"\\Security\\Policies\\Policies", u"00001033", 1},
    {182, RegistryRoot::kLocalMachine, u"\\System\\Pictures\\Camera\\OEM\\DisablingConditions", u"CSPValue", 0},
    {183, RegistryRoot::kLocalMachine, u"Config\\UI", u"MaxVMRecipients", 0},
    {184, RegistryRoot::kCurrentUser, u"\\Software\\Microsoft\\Inbox\\Settings\\OEM", u"SMSInboxThreadingDisabled", 0},
    {185, RegistryRoot::kLocalMachine, u"Config\\UI", u"RestrictUseTemplate", 1},
    {186, RegistryRoot::kLocalMachine, u"Config\\UI", u"PlayVoiceMailWithSpeaker", 1},
    {187, RegistryRoot::kCurrentUser, u"\\System\\State\\Messages\\Voicemail\\Unread", u"Count", 0},
    {188, RegistryRoot::kLocalMachine, u"Config\\UI", u"DefineGotoneVersion", 0},
    {189, RegistryRoot::kLocalMachine, u"Config\\UI", u"SignatureInLastSlide", 0},
    {190, RegistryRoot::kLocalMachine, u"Config\\UI", u"MsgAutoPlay", 1},
    {191, RegistryRoot::kLocalMachine, u"Config\\UI", u"SupportDownloadCancel", 1},
    {192, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsSupportCDMA", 0},
    {193, RegistryRoot::kLocalMachine, u"Config\\UI", u"IsAlltelVersion", 0},
};

// Row 39's key is not read: its key is computed from VoiceMailClassName (see voice_mail_key.h).
constexpr StringSettingRow kStringRows[] = {
    {0, RegistryRoot::kLocalMachine, u"Config\\UI", u"ReceiveNotifyPath"},
    {1, RegistryRoot::kLocalMachine, u"Config\\UI", u"DownloadedNotify"},
    {2, RegistryRoot::kLocalMachine, u"Config\\UI", u"SentNotifyPath"},
    {3, RegistryRoot::kLocalMachine, u"Config\\UI", u"TransportPath"},
    {4, RegistryRoot::kLocalMachine, u"Config\\UI", u"SMSAccountName"},
    {5, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMSAccountName"},
    {6, RegistryRoot::kLocalMachine, u"Config\\UI", u"EmailAccountName"},
    {7, RegistryRoot::kLocalMachine, u"Config\\UI", u"SMSClassName"},
    {8, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMSClassName"},
    {9, RegistryRoot::kLocalMachine, u"Config\\UI", u"EmailClassName"},
    {10, RegistryRoot::kLocalMachine, u"Config\\UI", u"ImageFilter"},
    {11, RegistryRoot::kLocalMachine, u"Config\\UI", u"AudioFilter"},
    {12, RegistryRoot::kLocalMachine, u"Config\\UI", u"VideoFilter"},
    {13, RegistryRoot::kLocalMachine, u"Config\\UI", u"FilterForGenericObjPickerShow"},
    {14, RegistryRoot::kLocalMachine, u"Config\\UI", u"FilterForGenericObjPickerHide"},
    {15, RegistryRoot::kLocalMachine, u"Config\\UI", u"PIMFilter"},
    {16, RegistryRoot::kLocalMachine, u"Config\\UI", u"MediaPlayerSupportFilter"},
    {17, RegistryRoot::kLocalMachine, u"Config\\UI", u"CreationFilter"},
    {18, RegistryRoot::kLocalMachine, u"Config\\UI", u"AlphaTagDispTxt"},
    {19, RegistryRoot::kLocalMachine, u"Config\\UI", u"AlphaTag"},
    {20, RegistryRoot::kLocalMachine, u"Config\\UI", u"Domain"},
    {21, RegistryRoot::kLocalMachine, u"Config\\UI", u"EmoticonPath"},
    {22, RegistryRoot::kLocalMachine, u"Config\\UI", u"WarningForFileExtension"},
    {23, RegistryRoot::kLocalMachine, u"Config\\UI", u"CountryCode"},
    {24, RegistryRoot::kLocalMachine, u"Config\\UI", u"CdmaMdn"},
    {25, RegistryRoot::kLocalMachine, u"Config\\mm1", u"DefaultSetting"},
    {26, RegistryRoot::kLocalMachine, u"Config\\mm1", u"DebugPath"},
    {27, RegistryRoot::kLocalMachine, u"Config\\mm1", u"OperatorBakName"},
    {28, RegistryRoot::kLocalMachine, u"\\SoftWare\\Quillon\\Quillon MMS UA\\Config\\mm1\\WspHeader", u"X-VzW-MDN"},
    {29, RegistryRoot::kLocalMachine, u"Config\\Folder", u"CannedtextFile"},
    {30, RegistryRoot::kLocalMachine, u"\\System\\State\\Phone", u"Current Operator Name"},
    {31, RegistryRoot::kCurrentUser, u"\\ControlPanel\\SoundCategories\\Notification", u"Script"},
    {32, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}", u"Wave"},
    {33, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Owner", u"Telephone"},
    {34, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Sounds\\SMS", u"Sound"},
    {35, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Home", u"BgImage"},
    {36, RegistryRoot::kCurrentUser, u"\\ControlPanel\\Home", u"CurBgImageName"},
    {37, RegistryRoot::kLocalMachine, u"Config\\UI", u"VoiceMailClassName"},
    {38, RegistryRoot::kLocalMachine, u"Config\\UI", u"VoiceMailAccountName"},
    {39, RegistryRoot::kCurrentUser, u"\\Software\\Microsoft\\Inbox\\MsgTypes\\IPM\\VoiceMail", u""},
    {40, RegistryRoot::kLocalMachine, u"Config\\UI", u"SMSReplyMenuOrder"},
    {41, RegistryRoot::kLocalMachine, u"Config\\UI", u"MMSReplyMenuOrder"},
    {42, RegistryRoot::kLocalMachine, u"Config\\UI", u"FlixClassName"},
    {43, RegistryRoot::kLocalMachine, u"Config\\UI", u"FlixAccountName"},
    {44, RegistryRoot::kLocalMachine, u"\\SoftWare\\Quillon\\Quillon MMS UA\\Config\\mm1\\WspHeader", u"X-Alltel-MDN"},
};

constexpr FolderSettingRow kFolderRows[] = {
    {0, u"PicturePath", u"\\My Documents\\My Pictures\\", true},
    {1, u"VideoPath", u"\\My Documents\\My Videos\\", true},
    {2, u"SoundPath", u"\\My Documents\\My Sounds\\", true},
    {3, u"PicturePath", u"\\My Documents\\My Pictures\\", true},
    {4, u"GenericPath", u"\\My Documents\\", true},
    {5, u"UnknownPath", u"\\My Documents\\", true},
    {6, u"UAContentsPath", u"\\My Documents\\UAContents\\", true},
    {7, u"CannedtextFile", u"\\My Documents\\UAContents\\CannedText_0409.bin", false},
    {8, u"BlackListPath", u"\\My Documents\\UAContents\\Blacklist.txt", false},
    {9, u"RecordPath", u"\\My Documents\\My Records\\", false},
    {10, u"TemplatePath", u"\\My Documents\\UAContents\\Templates\\", true},
    {11, u"DRMTempFolder", u"\\My Documents\\UAContents\\DRM\\", true},
    {12, u"ImageDecPath", u"\\windows\\", true},
    {13, u"VideoDecPath", u"\\windows\\", true},
    {14, u"AudioDecPath", u"\\windows\\", true},
    {15, u"SVGDecPath", u"\\windows\\", true},
    {16, u"SVGFontPath", u"\\windows\\Arail.amf", false},
    {17, u"DebugPath", u"\\My Documents\\UAContents\\MMS Log\\", true},
    {18, u"EmoticonPath", u"\\My Documents\\UAContents\\Emoticon\\", false},
};

constexpr LastFolderRow kLastFolderRows[] = {
    {0, u"Cur_PicturePath", 0},
    {1, u"Cur_VideoPath", 1},
    {2, u"Cur_SoundPath", 2},
    {3, u"Cur_VisualPath", 3},
    {4, u"Cur_GenericPath", 4},
};

constexpr ConfigListRow kConfigListRows[] = {
    {0, u"Wap1SendLimit", u"Config\\UI\\SizeLimit", 0, 32},
    {1, u"Wap2SendLimit", u"Config\\UI\\SizeLimit", 0, 33},
    {2, u"Wap1RecvLimit", u"Config\\UI\\SizeLimit", 0, 34},
    {3, u"Wap2RecvLimit", u"Config\\UI\\SizeLimit", 0, 35},
    {4, u"Expiration", u"Config\\UI", 0, 93},
    {5, u"DeliveryTime", u"Config\\UI", 0, 94},
    {6, u"Interval", u"Config\\UI\\TryLimit", 60, 36},
};

constexpr CustomResourceRow kCustomResourceRows[] = {
    {0, u"Call Log\\InComing"},
    {1, u"Call Log\\OutGoing"},
    {2, u"Call Log\\Missed"},
    {4, u"Picker\\CaptureVideo"},
    {3, u"Picker\\CapturePicture"},
    {6, u"Picker\\CaptureVideo_List"},
    {5, u"Picker\\CapturePicture_List"},
    {8, u"Picker\\CaptureVideo_Disable"},
    {7, u"Picker\\CapturePicture_Disable"},
    {10, u"Picker\\CaptureVideo_List_Disable"},
    {9, u"Picker\\CapturePicture_List_Disable"},
};

template <typename Row, std::size_t N>
constexpr bool EveryRowAtItsNumber(const Row (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].number != static_cast<int>(i)) return false;
  }
  return true;
}

static_assert(EveryRowAtItsNumber(kNumericRows) && std::size(kNumericRows) + 1 == kNumericSlots);
static_assert(EveryRowAtItsNumber(kStringRows) && std::size(kStringRows) + 1 == kStringSlots);
static_assert(EveryRowAtItsNumber(kFolderRows) && std::size(kFolderRows) + 1 == kFolderSlots);
static_assert(EveryRowAtItsNumber(kLastFolderRows) && std::size(kLastFolderRows) == 5);
static_assert(EveryRowAtItsNumber(kConfigListRows) && std::size(kConfigListRows) == 7);
static_assert(std::size(kCustomResourceRows) == 11);

template <typename Row, std::size_t N>
const Row* FindRow(const Row (&rows)[N], int number) {
  if (number < 0 || static_cast<std::size_t>(number) >= N) return nullptr;
  return &rows[number];
}

}  // namespace

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::span<const NumericSettingRow> NumericSettingRows() { return kNumericRows; }
std::span<const StringSettingRow> StringSettingRows() { return kStringRows; }
std::span<const FolderSettingRow> FolderSettingRows() { return kFolderRows; }
std::span<const LastFolderRow> LastFolderRows() { return kLastFolderRows; }
std::span<const ConfigListRow> ConfigListRows() { return kConfigListRows; }
std::span<const CustomResourceRow> CustomResourceRows() { return kCustomResourceRows; }

const NumericSettingRow* FindNumericRow(int number) { return FindRow(kNumericRows, number); }
const StringSettingRow* FindStringRow(int number) { return FindRow(kStringRows, number); }
const FolderSettingRow* FindFolderRow(int number) { return FindRow(kFolderRows, number); }
const LastFolderRow* FindLastFolderRow(int number) { return FindRow(kLastFolderRows, number); }
const ConfigListRow* FindConfigListRow(int number) { return FindRow(kConfigListRows, number); }

std::u16string FullKeyPath(std::u16string_view key) {
  if (!key.empty() && key.front() == u'\\') return std::u16string(key);
  std::u16string path(kProductRoot);
  path += u'\\';
  path += key;
  return path;
}

}  // namespace config
