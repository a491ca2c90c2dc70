#include "WindowSubclass.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace ui {
namespace {

struct Layer {
    SUBCLASSPROC procedure;
    UINT_PTR id;
    DWORD_PTR data;
    bool removed;
};

// A window's layers, oldest first. Only the window's thread touches it.
struct Chain {
    WNDPROC original = nullptr;
    std::vector<Layer> layers;
    // For each message being handled (innermost last): how many layers from the bottom have
    // not run for it yet.
    std::vector<size_t> below;
    bool destroyed = false;  // WM_NCDESTROY has been handled: the window is gone
};

// The table is shared by every thread that has windows; a chain is only ever used by its
// window's thread, so the lock is held for finding, adding and dropping chains only.
class Chains {
public:
    Chain* Find(HWND window) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_chains.find(window);
        return found == m_chains.end() ? nullptr : found->second.get();
    }
    Chain* Add(HWND window) {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::unique_ptr<Chain>& chain = m_chains[window];
        if (!chain) chain = std::make_unique<Chain>();
        return chain.get();
    }
    void Drop(HWND window) {
        std::unique_ptr<Chain> dropped;  // freed outside the lock
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_chains.find(window);
        if (found == m_chains.end()) return;
        dropped = std::move(found->second);
        m_chains.erase(found);
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HWND, std::unique_ptr<Chain>> m_chains;
};

Chains g_chains;

LRESULT CALLBACK LayeredProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// Layers marked removed go once no message is being handled; with none left, the window gets
// its own procedure back and the chain goes.
void Tidy(HWND window, Chain& chain) {
    if (!chain.below.empty()) return;
    std::vector<Layer> kept;
    for (const Layer& layer : chain.layers)
        if (!layer.removed && !chain.destroyed) kept.push_back(layer);
    chain.layers.swap(kept);
    if (!chain.layers.empty()) return;
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (chain.destroyed || current == &LayeredProcedure) {
        if (!chain.destroyed)
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
        g_chains.Drop(window);
    }
    // Otherwise another procedure has been put over this one: the chain stays, empty, and
    // passes every message through to the window's own procedure.
}

LRESULT CallNext(HWND window, Chain& chain, UINT msg, WPARAM wParam, LPARAM lParam) {
    while (chain.below.back() > 0) {
        // A copy: a layer may add another while it runs.
        const Layer layer = chain.layers[--chain.below.back()];
        if (!layer.removed)
            return layer.procedure(window, msg, wParam, lParam, layer.id, layer.data);
    }
    return ::CallWindowProcW(chain.original, window, msg, wParam, lParam);
}

LRESULT CALLBACK LayeredProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Chain* chain = g_chains.Find(window);
    if (!chain) return ::DefWindowProcW(window, msg, wParam, lParam);
    chain->below.push_back(chain->layers.size());
    const LRESULT result = CallNext(window, *chain, msg, wParam, lParam);
    chain->below.pop_back();
    if (msg == WM_NCDESTROY) chain->destroyed = true;
    Tidy(window, *chain);
    return result;
}

}  // namespace

bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    if (!window || !procedure || !::IsWindow(window)) return false;
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId()) return false;
    Chain* chain = g_chains.Find(window);
    if (chain) {
        for (Layer& layer : chain->layers) {
            if (layer.procedure == procedure && layer.id == id && !layer.removed) {
                layer.data = data;
                return true;
            }
        }
    } else {
        chain = g_chains.Add(window);
        chain->original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LayeredProcedure)));
        if (!chain->original) {
            g_chains.Drop(window);
            return false;
        }
    }
    chain->layers.push_back(Layer{procedure, id, data, false});
    return true;
}

bool RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    Chain* chain = g_chains.Find(window);
    if (!chain || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return false;
    for (Layer& layer : chain->layers) {
        if (layer.procedure == procedure && layer.id == id && !layer.removed) {
            layer.removed = true;
            Tidy(window, *chain);
            return true;
        }
    }
    return false;
}

LRESULT DefSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Chain* chain = g_chains.Find(window);
    if (!chain || chain->below.empty()) return ::DefWindowProcW(window, msg, wParam, lParam);
    return CallNext(window, *chain, msg, wParam, lParam);
}

}  // namespace ui
