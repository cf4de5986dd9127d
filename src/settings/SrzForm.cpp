// Persisted windows: the state file, closing and edge snapping.
#include <new>
#include <stdexcept>

#include "base/CodePage.h"
#include "base/Files.h"
#include "ports/Libraries.h"
#include "ports/WindowSystem.h"
#include "settings/ClassesX.h"
#include "settings/XmlPropertyFile.h"

namespace quorvel {
namespace {

// Proposed edges within this many pixels of a partner's edge snap to it,
// whatever the window's SnapBuffer.
constexpr std::int64_t kSnapDistance = 10;

bool Within(std::int64_t a, std::int64_t b, std::int64_t distance) { return a - b < distance && b - a < distance; }

// v + d within the snap distance of t: v := t - d.
void SnapTo(int& v, int t, int d) {
    if (Within(std::int64_t{v} + d, t, kSnapDistance)) v = t - d;
}

bool IsSizeable(int borderStyle) { return borderStyle == 2 || borderStyle == 5; }

// The integer text of the first element of that name anywhere in the file.
bool ReadInteger(const TXmlPropertyReader& reader, const char* xpath, std::int32_t& value) {
    const pugi::xml_node node = reader.Select(xpath);
    return node && TextToInt(TextContent(node), value);
}

}  // namespace

void TIntegerList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

TIntegerList::Value TIntegerList::Items(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("TIntegerList index out of range");
    return items_[static_cast<std::size_t>(index)];
}

void SnapToPartners(const TRect& current, TWindowPos& pos, const std::vector<TRect>& partners, int borderStyle,
                    int snapBuffer) {
    const int width = current.Width();
    const int height = current.Height();
    for (const TRect& r : partners) {
        // Partners are judged by where the window is, not where it is going.
        const bool partner = Within(current.Left, r.Right, snapBuffer) || Within(current.Top, r.Bottom, snapBuffer) ||
                             Within(std::int64_t{current.Left} + width, r.Left, snapBuffer) ||
                             Within(std::int64_t{current.Top} + height, r.Top, snapBuffer);
        if (!partner) continue;
        SnapTo(pos.X, r.Left, 0);       // left edges aligned
        SnapTo(pos.X, r.Left, width);   // right edge on the partner's left edge
        SnapTo(pos.Y, r.Bottom, 0);     // top edge on the partner's bottom edge
        SnapTo(pos.Y, r.Top, height);   // bottom edge on the partner's top edge
        SnapTo(pos.X, r.Right, 0);      // left edge on the partner's right edge
        SnapTo(pos.Y, r.Top, 0);        // top edges aligned
        if (IsSizeable(borderStyle) && !pos.NoSize) {
            SnapTo(pos.CX, r.Width(), 0);  // same width as the partner
            if (Within(std::int64_t{pos.X} + pos.CX, r.Left, kSnapDistance)) pos.CX = r.Left - pos.X;
            SnapTo(pos.CY, r.Height(), 0);  // same height
            if (Within(std::int64_t{pos.Y} + pos.CY, r.Top, kSnapDistance)) pos.CY = r.Top - pos.Y;
        }
    }
}

TIntegerList MarkedWindows(const IWindowSystem& windows) {
    TIntegerList list;
    for (THandle h : windows.EnumWindows())
        if (windows.GetProp(h, kSrzFormMarker) == 1) list.Add(static_cast<TIntegerList::Value>(h));
    return list;
}

TSrzForm::TSrzForm(TApplication& app, THandle parentWindow) : TForm(app, parentWindow) {
    Property("_BlendValue", [this] { return AlphaBlendValue; }, [this](std::uint8_t v) { AlphaBlendValue = v; });
    if (IWindowSystem* windows = Platform().Windows) windows->SetProp(Handle(), kSrzFormMarker, 1);
}

void TSrzForm::AfterConstruction() {
    TForm::AfterConstruction();  // the derived window's FormCreate sets the file and flags
    PersistEnabled = !ConfigFileName.empty();
    if (!PersistEnabled) return;
    if (!FullPathGiven) {
        const std::string exe = Platform().Process != nullptr ? Platform().Process->ExecutablePath() : std::string();
        ConfigFileName =
            JoinPath(ConfigFileName, LowerCase(ExtractFileName(exe)) + "." + LowerCase(Name) + ".config.xml");
    }
    LoadState();
}

void TSrzForm::LoadState() {
    RemoveStaleTemporary(ConfigFileName);
    if (!FileExists(ConfigFileName)) return;
    bool complete = false;
    try {
        complete = ReadState();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        complete = false;  // a property's setter refused its value
    }
    // The next save writes a complete file again.
    if (!complete) DeleteFile(ConfigFileName);
}

bool TSrzForm::ReadState() {
    TXmlPropertyReader reader;
    if (!reader.Open(ConfigFileName, TSrzClass::MaxFileSize)) return false;

    std::int32_t state = 0;
    if (!ReadInteger(reader, "//WindowState", state)) return false;
    if (state < 0 || state > 2) return false;
    // A window saved minimised opens as designed.
    if (state != 1) WindowState = static_cast<TWindowState>(state);

    if (state == 0) {
        std::int32_t v = 0;
        if (!ReadInteger(reader, "//Left", v)) return false;
        SetBounds(v, Top, Width, Height);
        if (!ReadInteger(reader, "//Top", v)) return false;
        SetBounds(Left, v, Width, Height);
        // Off the primary screen to the right or below: back to the corner.
        const TPoint screen = Platform().Windows != nullptr ? Platform().Windows->ScreenSize() : TPoint{};
        if (Platform().Windows != nullptr && (Left > screen.X - 50 || Top > screen.Y - 50)) SetBounds(0, 0, Width, Height);
        if (IsSizeable(BorderStyle)) {
            if (!ReadInteger(reader, "//Width", v)) return false;
            SetBounds(Left, Top, v, Height);
            if (!ReadInteger(reader, "//Height", v)) return false;
            SetBounds(Left, Top, Width, v);
        }
    }

    std::int32_t tag = 0;
    if (!ReadInteger(reader, "//Tag", tag)) return false;
    Tag = tag;

    const pugi::xml_node root = reader.Select("//Configuration");
    if (!root) return false;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element || child.name()[0] != '_') continue;
        TXmlElement e;
        if (ReadElement(child, e) != TElementRead::Element) return false;  // no "type"
        TPropInfo* info = FindProperty(e.Name);
        if (info == nullptr) continue;
        if (AssignProperty(*info, e.Tag, e.Text) == TAssignResult::Invalid) return false;
    }
    return true;
}

void TSrzForm::SaveState() {
    const std::string path = ConfigFileName;
    if (path.empty() || !DirectoryExists(ExtractFileDir(path))) return;
    bool saved = false;
    try {
        TXmlPropertyWriter writer;
        auto integer = [&writer](const char* name, std::int32_t value) {
            writer.Add(name, TTypeKind::tkInteger, std::to_string(value));
        };
        integer("Left", Left);
        integer("Top", Top);
        integer("Width", Width);
        integer("Height", Height);
        integer("WindowState", static_cast<std::int32_t>(WindowState));
        integer("Tag", Tag);
        for (const auto& p : Properties())
            if (p->Name().front() == '_') writer.Add(*p);
        saved = writer.SaveTo(path);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        saved = false;  // a property's getter failed
    }
    if (!saved) DeleteFile(path);
}

void TSrzForm::DoClose(TCloseAction& action) {
    TForm::DoClose(action);
    if (PersistEnabled && !NoSaveOnClose) SaveState();
    TForm* mainForm = Application().MainForm;
    if (Modal || !ReleaseOnClose || mainForm == this) return;
    if (mainForm != nullptr && Platform().Windows != nullptr)
        Platform().Windows->SendMessage(mainForm->Handle(), WM_SRZFORM_CLOSED,
                                        reinterpret_cast<std::uintptr_t>(kSrzFormClosedText),
                                        static_cast<std::intptr_t>(Handle()));
    Release();
}

void TSrzForm::WindowPosChanging(TWindowPos& pos) {
    if (OnVisibleChange) {
        if (pos.ShowWindow) OnVisibleChange(*this, true);
        if (pos.HideWindow) OnVisibleChange(*this, false);
    }
    IWindowSystem* windows = Platform().Windows;
    if (ScreenSnap && !pos.NoMove && !(pos.X == 0 && pos.Y == 0) && Visible() && windows != nullptr) {
        const TIntegerList marked = MarkedWindows(*windows);
        std::vector<TRect> partners;
        const THandle self = Handle();
        for (int i = 0; i < marked.Count(); ++i) {
            const auto h = static_cast<THandle>(marked.Items(i));
            if (h != self) partners.push_back(windows->GetWindowRect(h));
        }
        SnapToPartners(TRect{Left, Top, Left + Width, Top + Height}, pos, partners, BorderStyle, SnapBuffer);
    }
    TForm::WindowPosChanging(pos);
}

TVisibleManager::TVisibleManager(TApplication& app) : app_(app) {
    app_.OnMinimize = [this] { SetVisible(false); };
    app_.OnRestore = [this] { SetVisible(true); };
}

TVisibleManager::~TVisibleManager() {
    app_.OnMinimize = nullptr;
    app_.OnRestore = nullptr;
}

void TVisibleManager::Remove(THandle window) {
    for (int i = windows_.Count() - 1; i >= 0; --i)
        if (windows_.Items(i) == static_cast<TIntegerList::Value>(window)) windows_.Delete(i);
}

void TVisibleManager::SetVisible(bool visible) {
    IWindowSystem* windows = app_.Platform().Windows;
    if (windows == nullptr) return;
    // Placement and Z order stay; nothing is activated.
    for (int i = 0; i < windows_.Count(); ++i) windows->SetVisible(static_cast<THandle>(windows_.Items(i)), visible);
}

}  // namespace quorvel
