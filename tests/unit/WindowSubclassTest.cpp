// Procedures layered over a window's own: the order they run in, a layer handling a message
// alone, layers removed while they run, messages sent while another is handled, and the
// window's own procedure given back.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "WindowSubclass.h"

namespace {

constexpr UINT kFirst = WM_APP + 1;  // the message a row sends
constexpr UINT kInner = WM_APP + 2;  // sent by a layer while it handles kFirst

std::wstring g_trace;

void Note(const wchar_t* who, UINT msg) {
    if (msg != kFirst && msg != kInner) return;
    if (!g_trace.empty()) g_trace += L' ';
    g_trace += who;
    g_trace += msg == kFirst ? L"1" : L"2";
}

LRESULT CALLBACK OwnProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Note(L"own", msg);
    if (msg == kFirst || msg == kInner) return 42;
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

enum class Act { Pass, Swallow, RemoveItself, SendInner, RemoveBelow };

struct Layer {
    const wchar_t* name;
    Act act;
    UINT_PTR below = 0;  // for RemoveBelow: the id of the layer it removes
};

LRESULT CALLBACK Recorder(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                          DWORD_PTR data) {
    const Layer& layer = *reinterpret_cast<const Layer*>(data);
    Note(layer.name, msg);
    if (msg == kFirst) {
        switch (layer.act) {
            case Act::Swallow:
                return 7;
            case Act::RemoveItself:
                ui::RemoveSubclass(window, &Recorder, id);
                break;
            case Act::SendInner:
                ::SendMessageW(window, kInner, 0, 0);
                break;
            case Act::RemoveBelow:
                ui::RemoveSubclass(window, &Recorder, layer.below);
                break;
            case Act::Pass:
                break;
        }
    }
    return ui::DefSubclass(window, msg, wParam, lParam);
}

class WindowSubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW type{};
        type.lpfnWndProc = &OwnProcedure;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"WindowSubclassTest";
        ::RegisterClassW(&type);
        m_window = ::CreateWindowExW(0, L"WindowSubclassTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, type.hInstance, nullptr);
        ASSERT_NE(m_window, nullptr);
        g_trace.clear();
    }
    void TearDown() override {
        if (::IsWindow(m_window)) ::DestroyWindow(m_window);
    }
    // Layers are added in order, each with its index + 1 as id.
    void Add(const std::vector<Layer>& layers) {
        m_layers = layers;
        for (size_t i = 0; i < m_layers.size(); ++i)
            ASSERT_TRUE(ui::SetSubclass(m_window, &Recorder, i + 1,
                                        reinterpret_cast<DWORD_PTR>(&m_layers[i])));
    }
    WNDPROC Procedure() const {
        return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_window, GWLP_WNDPROC));
    }

    HWND m_window = nullptr;
    std::vector<Layer> m_layers;
};

TEST_F(WindowSubclassTest, LayersRunNewestFirstAndEachMayEndOrRemoveTheChain) {
    const struct {
        const char* name;
        std::vector<Layer> layers;
        UINT_PTR removedBefore;  // id removed before the first message, 0 for none
        const wchar_t* first;    // the trace of the first message
        LRESULT result;
        const wchar_t* second;  // and of the same message sent again
    } rows[] = {
        {"newest first, the window's own last",
         {{L"A", Act::Pass}, {L"B", Act::Pass}},
         0,
         L"B1 A1 own1",
         42,
         L"B1 A1 own1"},
        {"a layer removed before",
         {{L"A", Act::Pass}, {L"B", Act::Pass}},
         1,
         L"B1 own1",
         42,
         L"B1 own1"},
        {"a layer that handles the message alone",
         {{L"A", Act::Pass}, {L"B", Act::Swallow}},
         0,
         L"B1",
         7,
         L"B1"},
        {"a layer removing itself while it runs finishes the message",
         {{L"A", Act::Pass}, {L"B", Act::RemoveItself}},
         0,
         L"B1 A1 own1",
         42,
         L"A1 own1"},
        {"a layer removed while one above it runs is skipped at once",
         {{L"A", Act::Pass}, {L"B", Act::Pass}, {L"C", Act::RemoveBelow, 2}},
         0,
         L"C1 A1 own1",
         42,
         L"C1 A1 own1"},
        {"a message sent while another is handled runs the whole chain of its own",
         {{L"A", Act::Pass}, {L"B", Act::SendInner}},
         0,
         L"B1 B2 A2 own2 A1 own1",
         42,
         L"B1 B2 A2 own2 A1 own1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Add(row.layers);
        if (row.removedBefore)
            ASSERT_TRUE(ui::RemoveSubclass(m_window, &Recorder, row.removedBefore));
        EXPECT_EQ(::SendMessageW(m_window, kFirst, 0, 0), row.result);
        EXPECT_EQ(g_trace, row.first);
        g_trace.clear();
        ::SendMessageW(m_window, kFirst, 0, 0);
        EXPECT_EQ(g_trace, row.second);
    }
}

BOOL CALLBACK CountProperty(HWND, LPWSTR, HANDLE, ULONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int PropertiesOf(HWND window) {
    int count = 0;
    ::EnumPropsExW(window, &CountProperty, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(WindowSubclassTest, TheWindowsOwnProcedureComesBackAndNoPropertyIsAdded) {
    const int properties = PropertiesOf(m_window);  // the platform's own
    Add({{L"A", Act::Pass}, {L"B", Act::Pass}});
    // Found through the process's table: the window carries no property for them.
    EXPECT_EQ(PropertiesOf(m_window), properties);
    // The same procedure and id again only change its data.
    Layer again{L"A'", Act::Pass};
    EXPECT_TRUE(ui::SetSubclass(m_window, &Recorder, 1, reinterpret_cast<DWORD_PTR>(&again)));
    ::SendMessageW(m_window, kFirst, 0, 0);
    EXPECT_EQ(g_trace, L"B1 A'1 own1");
    // Only the window's thread changes its layers.
    bool removedElsewhere = true;
    std::thread([&] { removedElsewhere = ui::RemoveSubclass(m_window, &Recorder, 1); }).join();
    EXPECT_FALSE(removedElsewhere);
    EXPECT_TRUE(ui::RemoveSubclass(m_window, &Recorder, 1));
    EXPECT_TRUE(ui::RemoveSubclass(m_window, &Recorder, 2));
    EXPECT_FALSE(ui::RemoveSubclass(m_window, &Recorder, 2));
    EXPECT_EQ(Procedure(), &OwnProcedure);
    bool fromAnotherThread = true;
    std::thread([&] { fromAnotherThread = ui::SetSubclass(m_window, &Recorder, 3, 0); }).join();
    EXPECT_FALSE(fromAnotherThread);
}

bool g_sawEnd = false;

LRESULT CALLBACK EndWatcher(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    if (msg == WM_NCDESTROY) g_sawEnd = true;
    return ui::DefSubclass(window, msg, wParam, lParam);
}

TEST_F(WindowSubclassTest, ADestroyedWindowsLayersGoWithIt) {
    g_sawEnd = false;
    ASSERT_TRUE(ui::SetSubclass(m_window, &EndWatcher, 9, 0));
    ::DestroyWindow(m_window);
    EXPECT_TRUE(g_sawEnd);
    EXPECT_FALSE(ui::RemoveSubclass(m_window, &EndWatcher, 9));
}

}  // namespace
