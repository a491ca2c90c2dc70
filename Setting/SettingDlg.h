// The settings dialog: a borderless, skinned modal dialog that shows the engine's settings,
// lets the user change them and saves them back. Its layout, texts and images come from
// Setting.ini; every value comes from the engine when it opens.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "Button.h"
#include "CloseBox.h"
#include "ComboBox.h"
#include "Dialog.h"
#include "DialogAccess.h"
#include "SkinFrame.h"
#include "DlgWaiting.h"
#include "Dpi.h"
#include "GdiPlus.h"
#include "SettingsModel.h"
#include "ImgBtn.h"
#include "IniFile.h"
#include "MyGroupBox.h"
#include "NvStatic.h"
#include "Static.h"
#include "Thread.h"
#include "resource.h"

// Private messages of the settings dialog that its worker threads post to it.
constexpr UINT WM_SHOWWAITING = 0x501;   // wParam: waiting-box mode
constexpr UINT WM_CLOSEWAITING = 0x502;  // the engine call has returned

class CSettingDlg : public ui::Dialog {
public:
    CSettingDlg();
    ~CSettingDlg() override;

    const std::wstring& ProductName() const { return m_strProductName; }
    const std::wstring& Title() const { return m_strTitle; }

    bool PreTranslateMessage(MSG& msg) override;

    // Starts the registered tray application or tells it to quit, and updates its
    // registration with the engine. 0; -1 without an INI reader; -2 when "NAME" or "IMAGE"
    // of section "TRAY" is missing.
    int ApplyTraySetting(bool trayOn, CIniFile* ini) const;

protected:
    void OnCreatingControls() override;
    void PlaceControl(ControlPlace& place) override;
    BOOL OnInitDialog() override;

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_DPICHANGED, OnDpiChanged)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_SHOWWAITING, OnShowWaiting)
        MESSAGE_HANDLER(WM_CLOSEWAITING, OnCloseWaiting)
        MESSAGE_HANDLER(kProtectFailed, OnProtectFailed)
        COMMAND_HANDLER(IDC_STATIC_RESIZE, STN_CLICKED, OnResize)
        COMMAND_HANDLER(IDC_BTN_OK, BN_CLICKED, OnSave)
        COMMAND_HANDLER(IDC_BTN_APPLY, BN_CLICKED, OnApply)
        COMMAND_HANDLER(IDC_CHECK_PROTECT, BN_CLICKED, OnProtectSwitch)
        COMMAND_HANDLER(IDC_CHECK_SCHEDULE, BN_CLICKED, OnScheduleClicked)
        COMMAND_HANDLER(IDC_CHECK_EV_SYSFOLDER, BN_CLICKED, OnEventOptionClicked)
        COMMAND_HANDLER(IDC_CHECK_EV_NEWPROGRAM, BN_CLICKED, OnEventOptionClicked)
        COMMAND_HANDLER(IDC_CHECK_TRAYICON, BN_CLICKED, OnNotificationClicked)
        COMMAND_HANDLER(IDC_CHECK_TOASTER, BN_CLICKED, OnNotificationClicked)
        COMMAND_HANDLER(IDC_COMBO_SCHEDULE, CBN_SELCHANGE, OnSchedulePeriodChanged)
        COMMAND_HANDLER(IDC_CHECK_AR, BN_CLICKED, OnRestoreClicked)
        COMMAND_HANDLER(IDC_PASSWORD, BN_CLICKED, OnPasswordClicked)
        COMMAND_HANDLER(IDC_CLOSE_BOX, BN_CLICKED, CloseWithoutSaving)
    END_MSG_MAP()

private:
    // Posted by a protection worker after WM_CLOSEWAITING when the engine refused the
    // switch: wParam 1 switching on, 0 switching off; lParam the engine's code.
    static constexpr UINT kProtectFailed = WM_APP + 1;

    // Layout
    void BindControls();
    void LayOut();
    void PlaceControls();
    std::optional<SIZE> DialogSize();
    void PlaceCloseBox();
    std::array<CMyGroupBox*, 5> Frames();
    // `pixels` at 96 dpi, at the dpi the dialog is laid out for.
    int Scaled(int pixels) const { return dpi::Scale(pixels, m_dpi); }
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam, bool&);
    void ScaleDialogFont(UINT to);

    // Loading, and the settings model shown in the controls
    void LoadSettings();
    void ShowUsage();
    // The option controls' states as shown, with the check states and selections as the
    // user left them.
    settings::Options ReadUserChoices();
    // Sets the option controls that `next` shows otherwise than `shown`.
    void ShowOptions(const settings::Options& shown, const settings::Options& next);
    // Runs an option rule on the controls' states as the user left them, and shows the result.
    template <class Rule>
    void ApplyRule(Rule rule) {
        const settings::Options shown = ReadUserChoices();
        settings::Options next = shown;
        rule(next);
        ShowOptions(shown, next);
        m_options = next;
    }
    // Which control shows which state of the model.
    using ShownToggle = std::pair<settings::Toggle settings::Options::*, ui::Button*>;
    using ShownList = std::pair<settings::List settings::Options::*, ui::ComboBox*>;
    using ShownEnabled = std::pair<bool settings::Options::*, ui::Window*>;
    std::array<ShownToggle, 9> Toggles();
    std::array<ShownList, 3> Lists();
    std::array<ShownEnabled, 4> EnabledOnly();

    // Frame
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled);
    LRESULT OnPaint(WPARAM, LPARAM, bool&);
    LRESULT OnLButtonDown(WPARAM, LPARAM lParam, bool& handled);
    LRESULT OnLButtonUp(WPARAM, LPARAM lParam, bool& handled);
    LRESULT OnCtlColor(WPARAM wParam, LPARAM, bool&);
    bool InCloseBox(LPARAM lParam) const;
    void NoteCloseBoxSource();
    void DrawCloseBoxPicture(HDC dc);
    void PaintCloseBox(HDC dc);
    void PaintCloseBoxScaled(HDC dc, int width);

    // Waiting box and workers
    LRESULT OnShowWaiting(WPARAM wParam, LPARAM, bool&);
    LRESULT OnCloseWaiting(WPARAM, LPARAM, bool&);
    bool WorkerBusy() const { return m_worker.IsRunning(); }

    // Saving
    void OnSave();
    void OnApply();
    bool StartSave();

    // Option rules
    void OnScheduleClicked();
    void OnEventOptionClicked();
    void OnRestoreClicked();
    void OnNotificationClicked();
    void OnSchedulePeriodChanged();

    // Protection switch
    void OnProtectSwitch();
    LRESULT OnProtectFailed(WPARAM wParam, LPARAM lParam, bool&);
    void ShowPendingFailure();

    // Resize and password
    void OnResize();
    void OnPasswordClicked();

    // Keyboard and screen readers (SettingDlgAccess.cpp)
    void SetUpAccess();
    void CloseWithoutSaving();
    RECT CloseBoxPicture() const;
    void PaintHighContrastCloseBox(HDC dc) const;

    ui::Static m_stcCycleUnit;        // 1019
    ui::ComboBox m_cmbCycle;          // 1021
    ui::Button m_chkCycle;            // 1002
    ui::Button m_btnApply;            // 1014
    ui::Button m_chkPassword;         // 1045
    ui::Static m_stcToTheLatest;      // 1048
    ui::ComboBox m_cmbRestoreChoice;  // 1043
    ui::Button m_chkRestore;          // 1042
    CMyGroupBox m_frmSecurity;        // 1044
    CMyGroupBox m_frmRestore;         // 1041
    ui::Static m_stcUsage;            // 1040
    CNvStatic m_lnkResize;            // 1039
    ui::Button m_chkProtect;          // 1038
    ui::ComboBox m_cmbSchedule;       // 1017
    ui::Static m_stcScheduleUnit;     // 1018
    ui::Button m_chkTray;             // 1011
    ui::Button m_chkToaster;          // 1012
    ui::Button m_chkSchedule;         // 1001
    ui::Button m_chkSysFolder;        // 1004
    ui::Button m_chkNewProgram;       // 1005
    CImgBtn m_btnOk;                  // 1013
    CMyGroupBox m_frmNotify;          // 1032
    CMyGroupBox m_frmSchedule;        // 1006
    CMyGroupBox m_frmProtectedArea;   // 1037
    std::unique_ptr<CIniFile> m_pIniFile;
    settings::Options m_options;          // what the option controls show
    UINT m_dpi = dpi::kBase;              // the dpi the dialog is laid out for
    HFONT m_hTemplateFont = nullptr;      // the dialog's font as it was made (the platform's)
    UINT m_templateFontDpi = dpi::kBase;  // the dpi it was made at
    ui::UniqueFont m_dialogFont;  // the template's font made for another dpi, once it changed
    CDlgWaiting m_dlgWaiting;
    std::wstring m_strProductName;
    std::wstring m_strTitle;
    std::wstring m_strCloseBoxImagePath;
    RECT m_rcCloseBox{};
    SkinImage m_closeBoxImage;  // decoded at the first paint
    bool m_closeBoxImageLoaded = false;
    std::wstring m_closeBoxSource;  // what the picture is drawn from (NoteCloseBoxSource)
    ui::Thread m_worker;            // the save or protection worker; one at a time
    bool m_bSaveStarted = false;
    struct PendingFailure {
        bool switchingOn;
        int code;
    };
    std::optional<PendingFailure> m_pendingFailure;  // a refused switch not shown yet
    CCloseBox m_closeBox;  // the close box as a window: a tab stop for the keyboard
    CDialogAccess m_access;
};
