// Names for the numbers of the settings tables, grouped by table and, for numeric and string settings,
// by registry key. Each name is the row's value name, made unique where several rows share one.
#pragma once

namespace numeric_setting {
constexpr int kInboxEntryId = 0;
constexpr int kOutboxEntryId = 1;
constexpr int kDeletedItemsEntryId = 2;
constexpr int kSentItemsEntryId = 3;
constexpr int kNewboxEntryId = 4;
constexpr int kReportsboxEntryId = 5;

constexpr int kPhotoLandscape = 6;
constexpr int kPhotoRes = 7;
constexpr int kPhotoResolutionWidth = 8;
constexpr int kPhotoResolutionHeight = 9;
constexpr int kPhotoQuality = 10;
constexpr int kVideoLandscape = 11;
constexpr int kVideoRes = 12;
constexpr int kVideoFileRatio = 13;
constexpr int kVideoFormat = 14;
constexpr int kVideoMode = 15;
constexpr int kVideoResolutionWidth = 16;
constexpr int kVideoResolutionHeight = 17;

constexpr int kPriority = 18;
constexpr int kExpiryTime = 19;
constexpr int kMessageClass = 20;
constexpr int kNeedDeliveryReport = 21;
constexpr int kNeedReadReport = 22;
constexpr int kSendAnonymously = 23;
constexpr int kReplyCharging = 24;
constexpr int kPriorityFac = 25;
constexpr int kExpiryTimeFac = 26;
constexpr int kMessageClassFac = 27;
constexpr int kNeedDeliveryReportFac = 28;
constexpr int kNeedReadReportFac = 29;
constexpr int kSendAnonymouslyFac = 30;
constexpr int kReplyChargingFac = 31;

constexpr int kWap1SendCount = 32;
constexpr int kWap2SendCount = 33;
constexpr int kWap1RecvCount = 34;
constexpr int kWap2RecvCount = 35;

constexpr int kTryDefault = 36;

constexpr int kSendDelayedNotifyResp = 37;
constexpr int kSuppressDelayedNotifyResp = 38;
constexpr int kEnableDebug = 39;
constexpr int kEnabledrmfl = 40;
constexpr int kWAP1DefaultPort = 41;
constexpr int kWAP2DefaultPort = 42;
constexpr int kHTTPSDefaultPort = 43;
constexpr int kRecvSizeLimitType = 44;
constexpr int kWAPDefaultTimeout = 45;
constexpr int kHTTPDefaultTimeout = 46;
constexpr int kReportAllowed = 47;

constexpr int kEnableReceivePrompt = 48;
constexpr int kEnableReceiveNotify = 49;
constexpr int kEnableDownloadedPrompt = 50;
constexpr int kEnableDownloadedNotify = 51;
constexpr int kEnableSentPrompt = 52;
constexpr int kEnableSentNotify = 53;
constexpr int kEnableGenericPicker = 54;
constexpr int kIsShowServerResponseText = 55;
constexpr int kErrorHandleLevel = 56;
constexpr int kEnableInsertUTF8BOM = 57;
constexpr int kEnableSlideCharsLimit = 58;
constexpr int kNeedFailPrompt = 59;
constexpr int kTransportReadyTimeOut = 60;
constexpr int kNeedDisplayMsgInfo = 61;
constexpr int kNeedDisplayMMSCStatusText = 62;
constexpr int kEnableAutoRecvPrompt = 63;
constexpr int kSupportFullScreenPlayer = 64;
constexpr int kEnableForwardWithoutDownload = 65;
constexpr int kAllowAssignDRMPhotoToContact = 66;
constexpr int kAllowAssignDRMAudioToRingtone = 67;
constexpr int kSupportSentStatus = 68;
constexpr int kHideNotification = 69;
constexpr int kSendExpiredPDU = 70;
constexpr int kEnableReportPrompt = 71;
constexpr int kSendRejectPDU = 72;
constexpr int kAutoDisconnect = 73;
constexpr int kAutoResend = 74;
constexpr int kAppendSpaceToSubject = 75;
constexpr int kCaptureEnable = 76;
constexpr int kConnectviaMatchById = 77;
constexpr int kCreateMessageFolder = 78;
constexpr int kDefaultResolution = 79;
constexpr int kDownloadHomeNetworkOnly = 80;
constexpr int kEnableAddressMatch = 81;
constexpr int kMaxSlides = 82;
constexpr int kEnableSaveRecord = 83;
constexpr int kRejectAllMessage = 84;
constexpr int kDenyAnonymousMsg = 85;
constexpr int kAllowSendReadReport = 86;
constexpr int kTextHScrollTimeOut = 87;
constexpr int kTextVScrollTimeOut = 88;
constexpr int kTextHScrollDelayTime = 89;
constexpr int kTextVScrollDelayTime = 90;
constexpr int kEnableServerEdit = 91;
constexpr int kMinimumRecordSize = 92;
constexpr int kExpirationCount = 93;
constexpr int kDeliveryTimeCount = 94;
constexpr int kIsTestRoam = 95;
constexpr int kIsRoaming = 96;
constexpr int kIsSupportDrm = 97;
constexpr int kIsDeleteReportAfterRead = 98;
constexpr int kAlwaysChooseCustom = 99;
constexpr int kSlideDuration = 100;
constexpr int kMaxDuration = 101;
constexpr int kEnableSaveAudioObject = 102;
constexpr int kEnableRemoveCountryCode = 103;
constexpr int kRecordType = 104;
constexpr int kEnableCDMATimeStamp = 105;
constexpr int kNotificationDisplayTime = 106;
constexpr int kFlightModeOffTime = 107;
constexpr int kSupportReadReport = 108;
constexpr int kFlixSlideCountLimit = 109;
constexpr int kDefaultCreationMode = 110;
constexpr int kNeedRecvSizeLimitCtrl = 111;
constexpr int kSupportSendAnonymous = 112;
constexpr int kEnableSaveObject = 113;
constexpr int kNeedInsertRootLayout = 114;
constexpr int kConnResumeTime = 115;
constexpr int kInboxDispTimeType = 116;
constexpr int kInsertTimeStampWhenSending = 117;
constexpr int kNeedPromptUserWhenCancelOrPostponeDownload = 118;
constexpr int kSupportEmoticon = 119;
constexpr int kSupportBlackList = 120;
constexpr int kSupportFavoriteIE = 121;
constexpr int kHideDlgControl = 122;
constexpr int kSendExpireTimeInAbsolute = 123;
constexpr int kSendDeliveryTimeInAbsolute = 124;
constexpr int kMMContentClassTextSizeLimit = 125;
constexpr int kMMContentClassImageRichSizeLimit = 126;
constexpr int kMMContentClassVideoRichSizeLimit = 127;
constexpr int kMMSEventTimeOut = 128;
constexpr int kNeedAddSpaceAfterFwRe = 129;
constexpr int kTelMatchLength = 130;
constexpr int kPromptForActiveConnection = 131;
constexpr int kAutoAppendSubject = 132;
constexpr int kDenyAdvertisementMsg = 133;
constexpr int kPlayerIdleTime = 134;
constexpr int kSupportTxtAutoScroll = 135;
constexpr int kMMSSettingInCompose = 136;
constexpr int kReservedSpace = 137;
constexpr int kCdmaTime = 138;
constexpr int kMaxSubject = 139;
constexpr int kMaxPhoneChars = 140;
constexpr int kMinPhoneChars = 141;
constexpr int kMaxRecipientsChars = 142;
constexpr int kMaxEmailChars = 143;
constexpr int kMinEmailChars = 144;
constexpr int kMaxRecipients = 145;
constexpr int kMaxCharsInSlide = 146;
constexpr int kNeedCheckMsgSize = 147;

constexpr int kVideoProfileOptionNum = 148;

constexpr int kMmsSequence = 149;

constexpr int kRingTone0Sound = 150;

constexpr int kRingTone1Sound = 151;

constexpr int kSystemSoundInitVol = 152;

constexpr int kRingSoundInitVol = 153;

constexpr int kNotificationOptions3C850505 = 154;

constexpr int kNotificationOptions3C850506 = 155;

constexpr int kNotificationOptions70C48D00 = 156;

constexpr int kNotificationOptionsC3465585 = 157;

constexpr int kNotificationOptions3C781384 = 158;

constexpr int kInboxSaveSent = 159;

constexpr int kPreventPowerOffWhenPlayAudio = 160;
constexpr int kTransparency = 161;
constexpr int kTransparency2 = 162;

constexpr int kUnreadMmsCount = 163;

constexpr int kRecordRatio = 164;
constexpr int kSupportFDN = 165;

constexpr int kFdnEmulator = 166;

constexpr int kVoiceMailClassPresent = 167;

constexpr int kRilContexts = 168;

constexpr int kFdnCount = 169;

constexpr int kCellularConnectionCount = 170;

constexpr int kSupportEXIF = 171;
constexpr int kIsVoiceMailSupportText = 172;

constexpr int kNotificationOptions0CD9B91C = 173;

constexpr int kSupportSignatureWhenForward = 174;
constexpr int kMinimumCapturePhotoSize = 175;
constexpr int kMinimumCaptureVideoSize = 176;
constexpr int kIgnoreRoamStatus = 177;
constexpr int kFileSortType = 178;
constexpr int kStillImageHidePlaybar = 179;

constexpr int kRilNetworkContexts = 180;

constexpr int kSecurityPolicy1033 = 181;

constexpr int kCameraDisablingCondition = 182;

constexpr int kMaxVMRecipients = 183;

constexpr int kSMSInboxThreadingDisabled = 184;

constexpr int kRestrictUseTemplate = 185;
constexpr int kPlayVoiceMailWithSpeaker = 186;

constexpr int kUnreadVoiceMailCount = 187;

constexpr int kDefineGotoneVersion = 188;
constexpr int kSignatureInLastSlide = 189;
constexpr int kMsgAutoPlay = 190;
constexpr int kSupportDownloadCancel = 191;
constexpr int kIsSupportCDMA = 192;
constexpr int kIsAlltelVersion = 193;
}  // namespace numeric_setting

namespace string_setting {
constexpr int kReceiveNotifyPath = 0;
constexpr int kDownloadedNotify = 1;
constexpr int kSentNotifyPath = 2;
constexpr int kTransportPath = 3;
constexpr int kSMSAccountName = 4;
constexpr int kMMSAccountName = 5;
constexpr int kEmailAccountName = 6;
constexpr int kSMSClassName = 7;
constexpr int kMMSClassName = 8;
constexpr int kEmailClassName = 9;
constexpr int kImageFilter = 10;
constexpr int kAudioFilter = 11;
constexpr int kVideoFilter = 12;
constexpr int kFilterForGenericObjPickerShow = 13;
constexpr int kFilterForGenericObjPickerHide = 14;
constexpr int kPIMFilter = 15;
constexpr int kMediaPlayerSupportFilter = 16;
constexpr int kCreationFilter = 17;
constexpr int kAlphaTagDispTxt = 18;
constexpr int kAlphaTag = 19;
constexpr int kDomain = 20;
constexpr int kEmoticonPath = 21;
constexpr int kWarningForFileExtension = 22;
constexpr int kCountryCode = 23;
constexpr int kCdmaMdn = 24;

constexpr int kDefaultSetting = 25;
constexpr int kDebugPath = 26;
constexpr int kOperatorBakName = 27;

constexpr int kWspHeaderVzwMdn = 28;

constexpr int kCannedtextFile = 29;

constexpr int kCurrentOperatorName = 30;

constexpr int kNotificationSoundScript = 31;

constexpr int kNotificationWave = 32;

constexpr int kOwnerTelephone = 33;

constexpr int kSmsSound = 34;

constexpr int kHomeBgImage = 35;
constexpr int kHomeCurBgImageName = 36;

constexpr int kVoiceMailClassName = 37;
constexpr int kVoiceMailAccountName = 38;

constexpr int kVoiceMailTypeName = 39;

constexpr int kSMSReplyMenuOrder = 40;
constexpr int kMMSReplyMenuOrder = 41;
constexpr int kFlixClassName = 42;
constexpr int kFlixAccountName = 43;

constexpr int kWspHeaderAlltelMdn = 44;
}  // namespace string_setting

namespace folder_setting {
constexpr int kPicturePath = 0;
constexpr int kVideoPath = 1;
constexpr int kSoundPath = 2;
constexpr int kVisualPath = 3;
constexpr int kGenericPath = 4;
constexpr int kUnknownPath = 5;
constexpr int kUAContentsPath = 6;
constexpr int kCannedtextFile = 7;
constexpr int kBlackListPath = 8;
constexpr int kRecordPath = 9;
constexpr int kTemplatePath = 10;
constexpr int kDRMTempFolder = 11;
constexpr int kImageDecPath = 12;
constexpr int kVideoDecPath = 13;
constexpr int kAudioDecPath = 14;
constexpr int kSVGDecPath = 15;
constexpr int kSVGFontPath = 16;
constexpr int kDebugPath = 17;
constexpr int kEmoticonPath = 18;
}  // namespace folder_setting

namespace last_folder {
constexpr int kCurPicturePath = 0;
constexpr int kCurVideoPath = 1;
constexpr int kCurSoundPath = 2;
constexpr int kCurVisualPath = 3;
constexpr int kCurGenericPath = 4;
}  // namespace last_folder

namespace config_list {
constexpr int kWap1SendLimit = 0;
constexpr int kWap2SendLimit = 1;
constexpr int kWap1RecvLimit = 2;
constexpr int kWap2RecvLimit = 3;
constexpr int kExpiration = 4;
constexpr int kDeliveryTime = 5;
constexpr int kInterval = 6;
}  // namespace config_list

namespace custom_resource {
constexpr int kCallLogIncoming = 0;
constexpr int kCallLogOutgoing = 1;
constexpr int kCallLogMissed = 2;
constexpr int kCapturePicture = 3;
constexpr int kCaptureVideo = 4;
constexpr int kCapturePictureList = 5;
constexpr int kCaptureVideoList = 6;
constexpr int kCapturePictureDisable = 7;
constexpr int kCaptureVideoDisable = 8;
constexpr int kCapturePictureListDisable = 9;
constexpr int kCaptureVideoListDisable = 10;
}  // namespace custom_resource
