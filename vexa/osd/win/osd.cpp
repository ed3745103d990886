#include "vexa/osd/win/osd.h"

#include <shellapi.h>

#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {

namespace {

constexpr UINT kMsPerSecond = 1000;
constexpr int kShell32ApplicationIcon = 2;
constexpr std::string_view kAppPrefix = "App:";

vexa::win::CIcon applicationIcon(const std::string& file) {
  HICON icon = nullptr;
  if (!file.empty() && ExtractIconExW(vexa::win::toWide(file).c_str(), 0, &icon, nullptr, 1) > 0 && icon)
    return vexa::win::CIcon(icon);
  if (ExtractIconExW(L"shell32.dll", kShell32ApplicationIcon, &icon, nullptr, 1) > 0 && icon)
    return vexa::win::CIcon(icon);
  return {};
}

// The class icon of the window or its nearest parent that has one.
HICON windowIcon(HWND window) {
  for (HWND w = window; w && IsWindow(w); w = GetParent(w))
    if (const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(w, GCLP_HICON))) return icon;
  return nullptr;
}

}  // namespace

COsd::COsd(OsdHooks hooks)
    : m_hooks(std::move(hooks)),
      m_selector(m_commands),
      m_bar([this](UINT_PTR id) { OnBarTimer(id); }) {
  m_bar.SetOwner(m_owner.Handle());
  m_popup.SetOwner(m_owner.Handle());
  ApplySettings(OsdSettings{}, CLayoutSelector::Options{}.typematicDelayMs);
}

COsd::~COsd() {
  m_popup.Destroy();
  m_bar.Destroy();
}

void COsd::ApplySettings(const OsdSettings& settings, uint32_t typematicDelayMs) {
  m_settings = settings;
  m_background = vexa::win::CBrush(CreateSolidBrush(settings.paintedBackground() & 0xFFFFFF));
  CLayoutSelector::Options options;
  options.mode = settings.selectorMode;
  options.trigger = settings.selectorTrigger();
  options.typematicDelayMs = typematicDelayMs;
  options.timeoutMs = settings.timeoutSeconds * kMsPerSecond;
  m_selector.setOptions(options);
  if (m_bar.IsCreated()) m_bar.Ensure(settings);
  if (m_popup.IsCreated()) m_popup.Ensure(settings, m_background.Get());
}

intptr_t COsd::OnDisplayRequest(DisplayRequest& request) {
  const uint32_t code = request.code;
  if (code == Mode::kHide) {
    HideBar();
    return 1;
  }
  if (isBarMode(code)) {
    const bool muted = m_hooks.lineMuted ? m_hooks.lineMuted(request.text) : code == Mode::kMute;
    return ShowBar(code, request.value, request.text, (m_settings.timeoutSeconds + 1) * kMsPerSecond, nullptr, muted)
               ? 1
               : 0;
  }
  if (code == Mode::kLayoutSelector) return OnSelectorRequest(request);
  if (code == Mode::kCommandPopup) {
    ShowCommandPopup(request.object, request.heldFrom);
    return 1;
  }
  if (code == Mode::kTitlePopup) {
    ShowTitlePopup(request.text, static_cast<HWND>(const_cast<void*>(request.object)));
    return 1;
  }
  return 1;
}

bool COsd::ShowBar(uint32_t code, int32_t value, const std::string& text, UINT timeoutMs, ModeCallback callback,
                   bool muted) {
  if (!m_bar.Ensure(m_settings)) return false;
  m_state.show(code, value, std::move(callback));
  m_bar.ShowBar(mixerBar(code, text, static_cast<uint32_t>(value), muted));
  m_bar.StartTimer(COsdBarWindow::kHideTimer, timeoutMs);
  return true;
}

bool COsd::ShowShutdown(const std::string& name, int seconds, int requested, ModeCallback callback) {
  if (!m_bar.Ensure(m_settings)) return false;
  m_state.show(Mode::kShutdown, seconds, std::move(callback));
  m_bar.ShowBar(shutdownBar(name, seconds, requested));
  m_bar.StartTimer(COsdBarWindow::kHideTimer, m_settings.timeoutSeconds * kMsPerSecond);
  return true;
}

bool COsd::IsShowing(uint32_t code) const {
  return m_bar.IsCreated() && m_bar.IsVisible() && m_state.isShowing(code);
}

void COsd::CloseBar() {
  m_bar.Hide();
  m_state.close();
}

void COsd::HideBar() {
  m_selector.drop();
  m_bar.StopTimer(COsdBarWindow::kSelectorTimer);
  CloseBar();
}

void COsd::SetTree(CCmdTree* tree) {
  m_tree = tree;
  m_commands.setTree(tree);
  TreeReplaced();
}

void COsd::TreeReplaced() {
  m_selector.drop();
  m_bar.StopTimer(COsdBarWindow::kSelectorTimer);
  if (m_state.isShowing(Mode::kLayoutSelector)) CloseBar();
}

void COsd::OnBarTimer(UINT_PTR id) {
  if (id == COsdBarWindow::kHideTimer) {
    // The selector closes on its own timer, not on the bar's.
    if (!m_state.isShowing(Mode::kLayoutSelector)) CloseBar();
    m_bar.StopTimer(id);
    return;
  }
  if (id != COsdBarWindow::kSelectorTimer) return;
  m_bar.StopTimer(id);
  const auto choice = m_selector.timerFired();
  if (m_state.isShowing(Mode::kLayoutSelector)) CloseBar();
  if (choice) RunChoice(*choice);
}

intptr_t COsd::OnSelectorRequest(const DisplayRequest& request) {
  // Without a window for its timer the selector cannot hold a press back: it runs.
  if (!m_bar.Ensure(m_settings)) return 1;
  const SelectorStep step = m_selector.press({request.text, request.object, request.repeat});
  if (step.runNow) RunChoice(*step.runNow);
  if (step.timerMs) m_bar.StartTimer(COsdBarWindow::kSelectorTimer, *step.timerMs);
  if (m_selector.shown()) ShowSelector();
  return step.consumed ? 0 : 1;
}

void COsd::ShowSelector() {
  const SelectorView view = m_selector.view();
  m_state.show(Mode::kLayoutSelector, 0, nullptr);
  m_bar.StopTimer(COsdBarWindow::kHideTimer);
  m_bar.ShowSelector(view);
  if (m_hooks.status && !view.layoutName.empty())
    m_hooks.status(L"Layout Selector: " + vexa::win::toWide(view.layoutName));
}

void COsd::RunChoice(const SelectorChoice& choice) {
  if (!m_tree) return;
  const FoundCommand found = findCommand(*m_tree, choice.identity);
  if (!activateLayout(*m_tree, found, choice.layout)) return;
  if (m_hooks.run) m_hooks.run(snapshotOf(*found.command->activeLayout(), found.folder, found.remote));
}

bool COsd::EnsurePopup() { return m_popup.Ensure(m_settings, m_background.Get()); }

void COsd::ShowCommandPopup(const void* identity, const std::string& heldFrom) {
  if (!m_tree || !EnsurePopup()) return;
  const FoundCommand found = findCommand(*m_tree, identity);
  if (!found.command) return;  // deleted since the run reported it
  PopupContent content;
  content.code = Mode::kCommandPopup;
  content.object = identity;
  content.title = found.command->name();
  if (content.title.starts_with(kAppPrefix)) content.title.erase(0, kAppPrefix.size());
  content.body = found.folder ? found.folder->name : found.remote;
  // A held button says so, since the button's own command did not run.
  if (!heldFrom.empty()) content.body = "Held: " + heldFrom;
  content.ownedIcon = applicationIcon(found.folder ? found.folder->fileName() : std::string());
  if (!content.ownedIcon) content.icon = LoadIconW(nullptr, IDI_APPLICATION);
  m_popup.Show(std::move(content));
}

void COsd::ShowTitlePopup(const std::string& title, HWND window) {
  if (!EnsurePopup()) return;
  PopupContent content;
  content.code = Mode::kTitlePopup;
  content.object = window;
  content.body = title;
  content.icon = windowIcon(window);
  if (!content.icon) content.icon = m_hooks.programIcon;
  m_popup.Show(std::move(content));
}

}  // namespace vexa::osd::win
