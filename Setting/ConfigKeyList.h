// Every key the module reads from Setting.ini and CreateDisk.ini, one line each:
//
//   CONFIG_KEY(id, file, section, name, kind, window, shown, placedBy, flags, readBy, whenMissing)
//
// id           the constant the module's code reads the key through (config::id)
// file         SettingIni or CreateDiskIni
// kind         Text, Message (a text shown in a message), Position, Integer, List (numbered
//              entries "TIME_0" ... of the section), Image (a path relative to the host
//              folder, starting with a backslash), Program (the same for a program),
//              Pattern (a text that receives one integer), Placeholders (a text whose
//              "[PRODUCTNAME]", "[USED]" or "[TOTAL]" are replaced)
// window       the window the value belongs to (Window::...): the settings, password or
//              message dialog, the waiting box, a platform message box, the hint balloon, or
//              None (the tray application)
// shown        how the value appears (Shown::...): the control kind for a text or a rectangle
//              (CheckBox, Label, Link, Button, ...), a whole dialog's rectangle (Dialog), an
//              entry of a drop-down list (ListEntry), an image (CloseBoxImage, ButtonImage)
// placedBy     the position key whose rectangle the text or image has to fit, or nullptr
// flags        kMayBeEmpty (an empty value is right), kNeverShown (the control is never
//              visible), kProductName / kUsageFigures (the placeholders the module replaces
//              in this value)
// readBy       who reads it
// whenMissing  what a missing or empty value does
//
// This list is the one table behind the module's reads, the configuration checker and the
// key reference (docs/CONFIGURATION.md); nothing else names a key.

// clang-format off

// ---- Settings dialog: title, messages and images -------------------------------------------
CONFIG_KEY(kTitle, SettingIni, L"SETTING", L"TITLE", Placeholders, SettingsDialog, Title, &kDialogPos, kProductName, "settings dialog, password dialog", "the dialogs have an empty title")
CONFIG_KEY(kUsageText, SettingIni, L"SETTING", L"VP_FREESHOW", Placeholders, SettingsDialog, Label, &kUsagePos, kUsageFigures, "settings dialog", "the usage line is empty")
CONFIG_KEY(kCloseBoxImage, SettingIni, L"SETTING", L"IDC_BTNS", Image, SettingsDialog, CloseBoxImage, nullptr, kNoFlags, "settings dialog", "no close box is drawn (it still works)")
CONFIG_KEY(kCloseBoxName, SettingIni, L"SETTING", L"BTN_CLOSE", Text, SettingsDialog, Spoken, nullptr, kNoFlags, "settings dialog (screen readers)", "screen readers call the close box \"Close\"")
CONFIG_KEY(kOkImage, SettingIni, L"PIC", L"BTN_OK_PIC", Image, SettingsDialog, ButtonImage, &kOkPos, kNoFlags, "settings dialog", "the OK button shows its caption without an image")
CONFIG_KEY(kOkHoverImage, SettingIni, L"PIC", L"BTN_OK_PIC_H", Image, SettingsDialog, ButtonImage, &kOkPos, kNoFlags, "settings dialog", "the OK button shows no image under the pointer")
CONFIG_KEY(kRestoreChoice1, SettingIni, L"SETTING", L"COMBOAR_OP1", Text, SettingsDialog, ListEntry, &kRestoreListPos, kNoFlags, "settings dialog", "the first restore choice is empty")
CONFIG_KEY(kRestoreChoice2, SettingIni, L"SETTING", L"COMBOAR_OP2", Text, SettingsDialog, ListEntry, &kRestoreListPos, kNoFlags, "settings dialog", "the second restore choice is empty")
CONFIG_KEY(kResizeQuestion, SettingIni, L"SETTING", L"RESIZEMSG", Message, MessageDialog, MessageText, nullptr, kNoFlags, "resize command", "the question is shown empty")
CONFIG_KEY(kResizeFailure, SettingIni, L"SETTING", L"RESIZEMSGERROR", Message, MessageDialog, MessageText, nullptr, kNoFlags, "resize command", "the failure is reported with an empty text")
CONFIG_KEY(kDisableQuestion, SettingIni, L"SETTING", L"DISABLE_CP_CONFIRM", Message, PlainMessageBox, None, nullptr, kNoFlags, "protection switch", "the question is shown empty")
CONFIG_KEY(kEnableError, SettingIni, L"ERROR_STRING", L"IDS_ENABLE_ERROR", Message, MessageDialog, MessageText, nullptr, kNoFlags, "protection switch", "the failure is reported with an empty text")
CONFIG_KEY(kDisableError, SettingIni, L"ERROR_STRING", L"IDS_DISABLE_ERROR", Message, MessageDialog, MessageText, nullptr, kNoFlags, "protection switch", "the failure is reported with an empty text")
CONFIG_KEY(kPasswordOffQuestion, SettingIni, L"SETTING", L"DISABLE_PASS", Message, PlainMessageBox, None, nullptr, kNoFlags, "password check box", "the question is shown empty")
CONFIG_KEY(kMessageCaption, SettingIni, L"SETTING", L"STATIC_TITLE", Text, PlainMessageBox, None, nullptr, kNoFlags, "password check box, password dialog", "those message boxes have an empty caption")

// ---- Settings dialog: control texts and rectangles ------------------------------------------
CONFIG_KEY(kResizeLinkText, SettingIni, L"SETTING", L"VP_RESIZE", Text, SettingsDialog, Link, &kResizeLinkPos, kNoFlags, "settings dialog", "the resize link is empty")
CONFIG_KEY(kProtectText, SettingIni, L"SETTING", L"CP", Text, SettingsDialog, CheckBox, &kProtectPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kScheduleTitleText, SettingIni, L"SETTING", L"SC_TITLE", Text, SettingsDialog, Label, &kScheduleTitlePos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kScheduleText, SettingIni, L"SETTING", L"SC_CHECKTIME", Text, SettingsDialog, CheckBox, &kSchedulePos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kScheduleUnitText, SettingIni, L"SETTING", L"SC_MINUTES", Text, SettingsDialog, Label, &kScheduleUnitPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kSystemFolderText, SettingIni, L"SETTING", L"EV_SYSFOLDER", Text, SettingsDialog, CheckBox, &kSystemFolderPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kNewProgramText, SettingIni, L"SETTING", L"EV_NEWPROGRAM", Text, SettingsDialog, CheckBox, &kNewProgramPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kCycleText, SettingIni, L"SETTING", L"EV_CYCLE", Text, SettingsDialog, CheckBox, &kCyclePos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kCycleUnitText, SettingIni, L"SETTING", L"EV_CYCLE_TIME", Text, SettingsDialog, Label, &kCycleUnitPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kRestoreText, SettingIni, L"SETTING", L"IDC_CHECK_AR", Text, SettingsDialog, CheckBox, &kRestorePos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kToTheLatestText, SettingIni, L"SETTING", L"IDC_TOTHELATEST", Text, SettingsDialog, Label, &kToTheLatestPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kNotifyTitleText, SettingIni, L"SETTING", L"NT_TITLE", Text, SettingsDialog, Label, &kNotifyTitlePos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kTrayText, SettingIni, L"SETTING", L"NT_TRAYICON", Text, SettingsDialog, CheckBox, &kTrayPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kToasterText, SettingIni, L"SETTING", L"NT_TOASTER", Text, SettingsDialog, CheckBox, &kToasterPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kPasswordText, SettingIni, L"SETTING", L"PASS", Text, SettingsDialog, CheckBox, &kPasswordPos, kNoFlags, "settings dialog", "the control is empty")
CONFIG_KEY(kOkText, SettingIni, L"SETTING", L"BTN_OK", Text, SettingsDialog, ImageButton, &kOkPos, kNoFlags, "settings dialog", "the OK button has no caption")
CONFIG_KEY(kApplyText, SettingIni, L"SETTING", L"BTN_APPLY", Text, SettingsDialog, Button, &kApplyPos, kNeverShown, "settings dialog", "the (hidden) Apply button is empty")
CONFIG_KEY(kAreaFrameText, SettingIni, L"SETTING", L"IDC_VP_FRAME", Text, SettingsDialog, Frame, &kAreaFramePos, kNoFlags, "settings dialog", "the frame has no caption")
CONFIG_KEY(kScheduleFrameText, SettingIni, L"SETTING", L"IDC_SCHEDULE_FRAME", Text, SettingsDialog, Frame, &kScheduleFramePos, kNoFlags, "settings dialog", "the frame has no caption")
CONFIG_KEY(kRestoreFrameText, SettingIni, L"SETTING", L"IDC_AR_FRAME", Text, SettingsDialog, Frame, &kRestoreFramePos, kNoFlags, "settings dialog", "the frame has no caption")
CONFIG_KEY(kNotifyFrameText, SettingIni, L"SETTING", L"IDC_NOTI_FRAME", Text, SettingsDialog, Frame, &kNotifyFramePos, kNoFlags, "settings dialog", "the frame has no caption")
CONFIG_KEY(kSecurityFrameText, SettingIni, L"SETTING", L"IDC_SEC_FRAME", Text, SettingsDialog, Frame, &kSecurityFramePos, kNoFlags, "settings dialog", "the frame has no caption")

CONFIG_KEY(kDialogPos, SettingIni, L"POSITION", L"SET_FRAME", Position, SettingsDialog, Dialog, nullptr, kNoFlags, "settings dialog", "the dialog has size 0 (x and y are replaced by centring)")
CONFIG_KEY(kUsagePos, SettingIni, L"POSITION", L"VP_FREESHOW", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kResizeLinkPos, SettingIni, L"POSITION", L"VP_RESIZE", Position, SettingsDialog, Link, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kProtectPos, SettingIni, L"POSITION", L"CP", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kScheduleTitlePos, SettingIni, L"POSITION", L"SC_TITLE", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kSchedulePos, SettingIni, L"POSITION", L"SC_CHECKTIME", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kScheduleListPos, SettingIni, L"POSITION", L"SC_EDIT", Position, SettingsDialog, DropDownList, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kScheduleUnitPos, SettingIni, L"POSITION", L"SC_MINUTES", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kSystemFolderPos, SettingIni, L"POSITION", L"EV_SYSFOLDER", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kNewProgramPos, SettingIni, L"POSITION", L"EV_NEWPROGRAM", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kCyclePos, SettingIni, L"POSITION", L"EV_CYCLE", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kCycleListPos, SettingIni, L"POSITION", L"EV_CYCLE_CB", Position, SettingsDialog, DropDownList, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kCycleUnitPos, SettingIni, L"POSITION", L"EV_CYCLE_TIME", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kRestorePos, SettingIni, L"POSITION", L"IDC_CHECK_AR", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kToTheLatestPos, SettingIni, L"POSITION", L"IDC_TOTHELATEST", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kRestoreListPos, SettingIni, L"POSITION", L"IDC_COMBO_AR", Position, SettingsDialog, DropDownList, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kNotifyTitlePos, SettingIni, L"POSITION", L"NT_TITLE", Position, SettingsDialog, Label, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kTrayPos, SettingIni, L"POSITION", L"NT_TRAYICON", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kToasterPos, SettingIni, L"POSITION", L"NT_TOASTER", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kPasswordPos, SettingIni, L"POSITION", L"PASS", Position, SettingsDialog, CheckBox, nullptr, kNoFlags, "settings dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kOkPos, SettingIni, L"POSITION", L"BTN_OK", Position, SettingsDialog, ImageButton, nullptr, kNoFlags, "settings dialog", "the OK button is placed at 0,0 with size 0: the dialog can then only be closed by its close box")
CONFIG_KEY(kApplyPos, SettingIni, L"POSITION", L"BTN_APPLY", Position, SettingsDialog, Button, nullptr, kNeverShown, "settings dialog", "the control is placed at 0,0 with size 0 (it is never visible anyway)")
CONFIG_KEY(kAreaFramePos, SettingIni, L"POSITION", L"IDC_VP_FRAME_POS", Position, SettingsDialog, Frame, nullptr, kNoFlags, "settings dialog", "the frame is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kScheduleFramePos, SettingIni, L"POSITION", L"IDC_SCHEDULE_FRAME_POS", Position, SettingsDialog, Frame, nullptr, kNoFlags, "settings dialog", "the frame is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kRestoreFramePos, SettingIni, L"POSITION", L"IDC_AR_FRAME_POS", Position, SettingsDialog, Frame, nullptr, kNoFlags, "settings dialog", "the frame is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kNotifyFramePos, SettingIni, L"POSITION", L"IDC_NOTI_FRAME_POS", Position, SettingsDialog, Frame, nullptr, kNoFlags, "settings dialog", "the frame is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kSecurityFramePos, SettingIni, L"POSITION", L"IDC_SEC_FRAME_POS", Position, SettingsDialog, Frame, nullptr, kNoFlags, "settings dialog", "the frame is placed at 0,0 with size 0, which hides it")

// ---- Period lists -----------------------------------------------------------------------------
CONFIG_KEY(kPeriodCount, SettingIni, L"TIMELIST", L"COUNT", Integer, SettingsDialog, None, nullptr, kNoFlags, "settings dialog (both lists)", "both period lists stay empty")
CONFIG_KEY(kSchedulePeriods, SettingIni, L"TIMELIST", L"TIME_%d", List, SettingsDialog, ListEntry, &kScheduleListPos, kNoFlags, "settings dialog, saving", "the entry is empty and stands for 0 hours")
CONFIG_KEY(kCyclePeriods, SettingIni, L"TIMELIST_EVENT", L"TIME_%d", List, SettingsDialog, ListEntry, &kCycleListPos, kNoFlags, "settings dialog, saving", "the entry is empty and stands for 0 hours")

// ---- Tray application ---------------------------------------------------------------------------
CONFIG_KEY(kTrayName, SettingIni, L"TRAY", L"NAME", Placeholders, None, None, nullptr, kProductName, "saving", "the tray application is neither started, signalled nor (un)registered")
CONFIG_KEY(kTrayImage, SettingIni, L"TRAY", L"IMAGE", Program, None, None, nullptr, kNoFlags, "saving", "the tray application is neither started, signalled nor (un)registered")

// ---- Password dialog ------------------------------------------------------------------------------
CONFIG_KEY(kPassDialogPos, SettingIni, L"POSITION", L"PASSDLG", Position, PasswordDialog, Dialog, nullptr, kNoFlags, "password dialog", "the dialog has size 0 (x and y are replaced by centring)")
CONFIG_KEY(kCurrentLabelText, SettingIni, L"SETTING", L"S_CURPASS", Text, PasswordDialog, Label, &kCurrentLabelPos, kNeverShown, "password dialog", "the (hidden) label is empty")
CONFIG_KEY(kCurrentEditText, SettingIni, L"SETTING", L"E_CURPASS", Text, PasswordDialog, Edit, &kCurrentEditPos, kMayBeEmpty | kNeverShown, "password dialog", "the field starts empty, as it should")
CONFIG_KEY(kNewLabelText, SettingIni, L"SETTING", L"S_NEWPASS", Text, PasswordDialog, Label, &kNewLabelPos, kNoFlags, "password dialog", "the label is empty")
CONFIG_KEY(kNewEditText, SettingIni, L"SETTING", L"E_NEWPASS", Text, PasswordDialog, Edit, &kNewEditPos, kMayBeEmpty, "password dialog", "the field starts empty, as it should")
CONFIG_KEY(kRepeatLabelText, SettingIni, L"SETTING", L"S_NEWPASS2", Text, PasswordDialog, Label, &kRepeatLabelPos, kNoFlags, "password dialog", "the label is empty")
CONFIG_KEY(kRepeatEditText, SettingIni, L"SETTING", L"E_NEWPASS2", Text, PasswordDialog, Edit, &kRepeatEditPos, kMayBeEmpty, "password dialog", "the field starts empty, as it should")
CONFIG_KEY(kPassOkText, SettingIni, L"SETTING", L"S_PASSOK", Text, PasswordDialog, Button, &kPassOkPos, kNoFlags, "password dialog", "the OK button is empty")
CONFIG_KEY(kPassCancelText, SettingIni, L"SETTING", L"S_PASSCANCEL", Text, PasswordDialog, Button, &kPassCancelPos, kNoFlags, "password dialog", "the Cancel button is empty")
CONFIG_KEY(kForgotText, SettingIni, L"SETTING", L"S_FORGETPASS", Text, PasswordDialog, Label, &kForgotPos, kNoFlags, "password dialog", "the help line is empty")
CONFIG_KEY(kCurrentLabelPos, SettingIni, L"POSITION", L"S_CURPASS", Position, PasswordDialog, Label, nullptr, kNeverShown, "password dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kCurrentEditPos, SettingIni, L"POSITION", L"E_CURPASS", Position, PasswordDialog, Edit, nullptr, kNeverShown, "password dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kNewLabelPos, SettingIni, L"POSITION", L"S_NEWPASS", Position, PasswordDialog, Label, nullptr, kNoFlags, "password dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kNewEditPos, SettingIni, L"POSITION", L"E_NEWPASS", Position, PasswordDialog, Edit, nullptr, kNoFlags, "password dialog", "the field is placed at 0,0 with size 0: no password can be typed")
CONFIG_KEY(kRepeatLabelPos, SettingIni, L"POSITION", L"S_NEWPASS2", Position, PasswordDialog, Label, nullptr, kNoFlags, "password dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kRepeatEditPos, SettingIni, L"POSITION", L"E_NEWPASS2", Position, PasswordDialog, Edit, nullptr, kNoFlags, "password dialog", "the field is placed at 0,0 with size 0: no password can be typed")
CONFIG_KEY(kPassOkPos, SettingIni, L"POSITION", L"S_PASSOK", Position, PasswordDialog, Button, nullptr, kNoFlags, "password dialog", "the button is placed at 0,0 with size 0 (Enter still works)")
CONFIG_KEY(kPassCancelPos, SettingIni, L"POSITION", L"S_PASSCANCEL", Position, PasswordDialog, Button, nullptr, kNoFlags, "password dialog", "the button is placed at 0,0 with size 0 (Escape still works)")
CONFIG_KEY(kForgotPos, SettingIni, L"POSITION", L"S_FORGETPASS", Position, PasswordDialog, Label, nullptr, kNoFlags, "password dialog", "the control is placed at 0,0 with size 0, which hides it")
CONFIG_KEY(kPassIncorrect, SettingIni, L"Setting", L"S_MSG_PASS_INCORRECT", Message, PlainMessageBox, None, nullptr, kNoFlags, "password dialog", "the message is shown empty")
CONFIG_KEY(kPassMismatch, SettingIni, L"Setting", L"S_MSG_PASS_DONOTMATCH", Message, PlainMessageBox, None, nullptr, kNoFlags, "password dialog", "the message is shown empty")
CONFIG_KEY(kPassEmpty, SettingIni, L"Setting", L"S_MSG_PASS_NULL", Message, PlainMessageBox, None, nullptr, kNoFlags, "password dialog", "the message is shown empty")
CONFIG_KEY(kPassSaved, SettingIni, L"Setting", L"S_MSG_PASS_SAVEOK", Message, PlainMessageBox, None, nullptr, kNoFlags, "password dialog", "the message is shown empty")
CONFIG_KEY(kPassSaveFailed, SettingIni, L"Setting", L"S_MSG_PASS_SAVEFAIL", Pattern, PlainMessageBox, None, nullptr, kNoFlags, "password dialog", "the message is shown empty (without the code)")
CONFIG_KEY(kMaxCharsHint, SettingIni, L"Setting", L"S_MAXCHAR", Message, Balloon, None, nullptr, kNoFlags, "password fields", "the hint balloon is empty (the character is still refused)")

// ---- Waiting box --------------------------------------------------------------------------------
CONFIG_KEY(kWaitSwitchOn, SettingIni, L"Setting", L"IDC_WAIT_DLG", Text, WaitingBox, WaitText, nullptr, kNoFlags, "waiting box", "only the moving dots are shown")
CONFIG_KEY(kWaitSwitchOff, SettingIni, L"Setting", L"IDC_WAIT1_DLG", Text, WaitingBox, WaitText, nullptr, kNoFlags, "waiting box", "only the moving dots are shown")
CONFIG_KEY(kWaitSaving, SettingIni, L"Setting", L"IDC_SAVESET", Text, WaitingBox, WaitText, nullptr, kNoFlags, "waiting box", "only the moving dots are shown")

// ---- Message dialog (CreateDisk.ini) ---------------------------------------------------------------
CONFIG_KEY(kWarningHeading, CreateDiskIni, L"String", L"IDS_WARNING", Text, MessageDialog, MessageHeading, nullptr, kNoFlags, "message dialog", "the question's heading is empty")
CONFIG_KEY(kErrorHeading, CreateDiskIni, L"String", L"IDS_WRONG", Text, MessageDialog, MessageHeading, nullptr, kNoFlags, "message dialog", "the error's heading is empty")
CONFIG_KEY(kYesText, CreateDiskIni, L"String", L"IDS_YES", Text, MessageDialog, MessageButton, nullptr, kNoFlags, "message dialog", "the Yes button is empty")
CONFIG_KEY(kNoText, CreateDiskIni, L"String", L"IDS_NO", Text, MessageDialog, MessageButton, nullptr, kNoFlags, "message dialog", "the No button is empty")

// clang-format on
