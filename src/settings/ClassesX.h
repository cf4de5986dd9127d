#pragma once
// Published properties and the XML property files built on them.
//
// A class publishes a property with one line in its constructor; the property
// list is then its schema for saving and loading, with nothing else to write
// per property:
//
//     class TMySettings : public TSrzClass {
//     public:
//         TMySettings() {
//             Property("FreqSample", FreqSample, 11025);        // field + default
//             Property("RXFontStyle", RXFontStyle, TFontStyles{});
//         }
//         std::int32_t FreqSample;
//         TFontStyles RXFontStyle;
//     };
//
// A window publishes properties that act on its controls through accessors:
//
//     Property("_ATC", &TMainForm::GetATC, &TMainForm::SetATC);
//     Property("_Span", [this] { return SpanBox.ItemIndex; }, [this](int v) { ... });
//
// Kinds, as written to a file:
//   "Integer"  bool (0/1), integers up to 32 bits, enumerations (their value),
//              TSet<E> (bit mask, element n is bit n), TColor (signed 32-bit);
//   "Float"    float, double;
//   "String"   std::string (cp1251 inside, UTF-8 in the file).
// Other types cannot be published (compile error).
#include <algorithm>
#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/Forms.h"

namespace quorvel {

enum class TTypeKind { tkInteger, tkFloat, tkString };

// The "type" attribute of each kind: "Integer", "Float", "String".
const char* TypeTag(TTypeKind kind);

// One published property: its name, kind and value access.
class TPropInfo {
public:
    TPropInfo(std::string name, TTypeKind kind) : name_(std::move(name)), kind_(kind) {}
    virtual ~TPropInfo() = default;
    TPropInfo(const TPropInfo&) = delete;
    TPropInfo& operator=(const TPropInfo&) = delete;

    const std::string& Name() const { return name_; }
    TTypeKind Kind() const { return kind_; }

    // Each pair is meaningful for its kind only. An ordinal outside the
    // property's range is clamped to it; a Boolean takes any non-zero as true.
    virtual std::int32_t GetOrdinal() const { return 0; }
    virtual void SetOrdinal(std::int32_t) {}
    virtual double GetFloat() const { return 0.0; }
    virtual void SetFloat(double) {}
    virtual std::string GetString() const { return {}; }
    virtual void SetString(const std::string&) {}

private:
    std::string name_;
    TTypeKind kind_;
};

namespace detail {

template <class T>
concept SetType = requires(T s, std::uint32_t m) {
    { T::FromMask(m) } -> std::same_as<T>;
    { s.Mask() } -> std::same_as<std::uint32_t>;
};

template <class T>
constexpr TTypeKind KindOf() {
    if constexpr (std::is_floating_point_v<T>) {
        return TTypeKind::tkFloat;
    } else if constexpr (std::is_same_v<T, std::string>) {
        return TTypeKind::tkString;
    } else {
        static_assert(std::is_same_v<T, bool> || std::is_enum_v<T> || SetType<T> ||
                          (std::is_integral_v<T> && (sizeof(T) < 4 || std::is_signed_v<T>) && sizeof(T) <= 4),
                      "a published property is bool, an integer of at most 32 bits, an enumeration, "
                      "a TSet, a floating-point number or std::string");
        return TTypeKind::tkInteger;
    }
}

template <class T, bool = std::is_enum_v<T>>
struct Underlying {
    using type = T;
};
template <class T>
struct Underlying<T, true> {
    using type = std::underlying_type_t<T>;
};

template <class T>
std::int32_t ToOrdinal(const T& v) {
    if constexpr (std::is_same_v<T, bool>) return v ? 1 : 0;
    else if constexpr (SetType<T>) return static_cast<std::int32_t>(v.Mask());
    else if constexpr (std::is_enum_v<T>) return static_cast<std::int32_t>(static_cast<std::underlying_type_t<T>>(v));
    else return static_cast<std::int32_t>(v);
}

template <class T>
T FromOrdinal(std::int32_t v) {
    if constexpr (std::is_same_v<T, bool>) {
        return v != 0;
    } else if constexpr (SetType<T>) {
        return T::FromMask(static_cast<std::uint32_t>(v));
    } else {
        using U = typename Underlying<T>::type;
        using L = std::numeric_limits<U>;
        const std::int64_t lo = static_cast<std::int64_t>(L::min());
        const std::int64_t hi = std::min<std::int64_t>(static_cast<std::int64_t>(L::max()), INT32_MAX);
        const std::int64_t c = std::clamp<std::int64_t>(v, lo, hi);
        return static_cast<T>(static_cast<U>(c));
    }
}

template <class T, class Get, class Set>
class TPropAccess final : public TPropInfo {
public:
    TPropAccess(std::string name, Get get, Set set)
        : TPropInfo(std::move(name), KindOf<T>()), get_(std::move(get)), set_(std::move(set)) {}

    std::int32_t GetOrdinal() const override {
        if constexpr (KindOf<T>() == TTypeKind::tkInteger) return ToOrdinal<T>(get_());
        else return 0;
    }
    void SetOrdinal(std::int32_t v) override {
        if constexpr (KindOf<T>() == TTypeKind::tkInteger) set_(FromOrdinal<T>(v));
    }
    double GetFloat() const override {
        if constexpr (KindOf<T>() == TTypeKind::tkFloat) return static_cast<double>(get_());
        else return 0.0;
    }
    void SetFloat(double v) override {
        if constexpr (KindOf<T>() == TTypeKind::tkFloat) set_(static_cast<T>(v));
    }
    std::string GetString() const override {
        if constexpr (KindOf<T>() == TTypeKind::tkString) return get_();
        else return {};
    }
    void SetString(const std::string& v) override {
        if constexpr (KindOf<T>() == TTypeKind::tkString) set_(v);
    }

private:
    Get get_;
    Set set_;
};

}  // namespace detail

// The published properties of an object, in declaration order (those of base
// classes first, since their constructors run first). Holds references into
// the object, so it is neither copied nor moved.
class TPublished {
public:
    TPublished() = default;
    virtual ~TPublished() = default;
    TPublished(const TPublished&) = delete;
    TPublished& operator=(const TPublished&) = delete;

    const std::vector<std::unique_ptr<TPropInfo>>& Properties() const { return properties_; }
    // Letters compared without regard to case; nullptr when there is none.
    TPropInfo* FindProperty(std::string_view name) const;

protected:
    // A property kept in a field; the field takes its default here.
    template <class T, class D>
    void Property(std::string name, T& field, D&& defaultValue) {
        field = static_cast<T>(std::forward<D>(defaultValue));
        T* p = &field;
        Add(std::make_unique<detail::TPropAccess<T, std::function<T()>, std::function<void(T)>>>(
            std::move(name), [p] { return *p; }, [p](T v) { *p = std::move(v); }));
    }

    // A property read and written through accessors (a window's controls).
    template <class Get, class Set>
        requires std::is_invocable_v<Get>
    void Property(std::string name, Get get, Set set) {
        using T = std::remove_cvref_t<std::invoke_result_t<Get>>;
        static_assert(std::is_invocable_v<Set, T>, "the setter takes the getter's type");
        Add(std::make_unique<detail::TPropAccess<T, Get, Set>>(std::move(name), std::move(get), std::move(set)));
    }

    // The same with accessor methods of the derived class.
    template <class C, class T, class U>
    void Property(std::string name, T (C::*get)() const, void (C::*set)(U)) {
        C* self = static_cast<C*>(this);
        Property(std::move(name), [self, get] { return (self->*get)(); },
                 [self, set](std::remove_cvref_t<T> v) { (self->*set)(std::move(v)); });
    }

private:
    void Add(std::unique_ptr<TPropInfo> info);
    std::vector<std::unique_ptr<TPropInfo>> properties_;
};

// Value texts of the property files.
// Shortest form with up to 15 significant digits; '.' as decimal separator.
std::string FloatToText(double value);
// Either '.' or ',' as decimal separator; 16777215.0 when the text doesn't parse.
double TextToFloat(std::string_view text);
// A decimal 32-bit integer, optional sign, surrounding blanks allowed.
bool TextToInt(std::string_view text, std::int32_t& value);
// The element text a property is written as (cp1251).
std::string PropertyText(const TPropInfo& info);

enum class TAssignResult { Assigned, Skipped, Invalid };
// Assigns an element's text by its type tag. "Integer" text that is not an
// integer is Invalid. A tag naming another kind than the property's (never
// written by Save) leaves the property as it is: Skipped.
TAssignResult AssignProperty(TPropInfo& info, std::string_view tag, const std::string& text);

// An object saved to and loaded from an XML property file:
//
//     <?xml version="1.0" ?><Configuration><Name type="Integer">1</Name>...</Configuration>
//
// one element per published property, in declaration order.
class TSrzClass : public TPublished {
public:
    // Files larger than this are not read (Load returns false); real ones
    // are a few kilobytes.
    static constexpr std::uintmax_t MaxFileSize = 16u * 1024 * 1024;

    // The file last loaded and the file Save writes.
    std::string FileName;

    // Writes every published property to FileName, replacing the file only
    // when the whole file was written. False when the folder is missing, the
    // file is write-protected or the write fails; no folder is created.
    virtual bool Save();
    // A non-empty fileName becomes FileName; then FileName is read. A missing
    // file is no error: every property keeps its value and the result is true.
    // A damaged file keeps the values of the elements before the fault and
    // gives false. The file is never touched.
    virtual bool Load(const std::string& fileName);
};

// A growable list of integers (window handles, mixer numbers). Values are
// pointer-sized so that a handle fits on every platform (32 bits on the
// 32-bit host).
class TIntegerList {
public:
    using Value = std::intptr_t;
    void Add(Value value) { items_.push_back(value); }
    void Clear() {
        items_.clear();
        items_.shrink_to_fit();
    }
    // An index outside 0 ... Count() - 1 is ignored.
    void Delete(int index);
    // Throws std::out_of_range outside 0 ... Count() - 1.
    Value Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

private:
    std::vector<Value> items_;
};

// Name and value of the window property every persisted window carries;
// windows (of any program) with it are snap partners.
inline constexpr const char* kSrzFormMarker = "{C6CA4384-D3FB-4E41-BA2C-DFF64D0A0ED4}";
// Sent to the application's main form when a persisted window closes and
// releases itself: wParam = address of kSrzFormClosedText, lParam = its handle.
inline constexpr std::uint32_t WM_SRZFORM_CLOSED = 0x92C;
inline constexpr const char* kSrzFormClosedText = "{51D535AA-7381-439F-94C6-245C770E2E20}";

// Edge snapping to partner windows: the proposed placement (pos) of a window
// whose current placement is `current`, against the outer rectangles of the
// partner candidates. A candidate is a partner when one of the window's
// current edges (left to its right, top to its bottom, right to its left,
// bottom to its top) lies within snapBuffer; the proposed edges then snap to
// the partner's within 10 pixels. Sizeable windows (border style 2 or 5)
// also snap their size.
void SnapToPartners(const TRect& current, TWindowPos& pos, const std::vector<TRect>& partners, int borderStyle,
                    int snapBuffer);

// The top-level windows carrying the marker, in the system's order.
TIntegerList MarkedWindows(const IWindowSystem& windows);

// A window that keeps its placement and its "_" properties in a state file
// and snaps to other marked windows.
//
// A derived window, in its FormCreate:
//     ConfigFileName = JoinPath(dataFolder, "Quorvel", "mainform.config.xml");
//     FullPathGiven = true;            // else ConfigFileName is a folder
//     NoSaveOnClose = true;            // else closing saves the state
//     ReleaseOnClose = false;          // else closing releases the window
// and declares its persisted properties in its constructor, names starting
// with "_", acting on its controls:
//     Property("_ATC", &TMainForm::GetATC, &TMainForm::SetATC);
// After FormCreate the state file is loaded (LoadState); SaveState writes it.
//
// The state file: Left, Top, Width, Height, WindowState, Tag (all "Integer"),
// then every published property whose name begins with "_", in declaration
// order (_BlendValue first). Other published properties are not persisted.
class TSrzForm : public TForm, public TPublished {
public:
    TSrzForm(TApplication& app, THandle parentWindow);

    std::string ConfigFileName;  // folder, or full path when FullPathGiven
    bool PersistEnabled = false;  // set after creation: ConfigFileName given
    bool FullPathGiven = false;
    bool NoSaveOnClose = false;
    bool ReleaseOnClose = true;  // a closed modeless window notifies the main form and releases itself
    // Raised when the window is about to be shown (true) or hidden (false).
    std::function<void(TSrzForm& sender, bool visible)> OnVisibleChange;

    // Reads the state file: placement by the saved window state, then Tag and
    // the "_" properties. A damaged file keeps what was applied before the
    // fault and is deleted. A missing file changes nothing.
    void LoadState();
    // Writes the state file atomically; nothing when its folder is missing; a
    // failed write deletes the file.
    void SaveState();

protected:
    void AfterConstruction() override;
    void DoClose(TCloseAction& action) override;
    void WindowPosChanging(TWindowPos& pos) override;

private:
    bool ReadState();
};

// Hides the windows in its list while the application is minimised and shows
// them again on restore. One per process, from load to unload.
class TVisibleManager {
public:
    explicit TVisibleManager(TApplication& app);
    ~TVisibleManager();
    TVisibleManager(const TVisibleManager&) = delete;
    TVisibleManager& operator=(const TVisibleManager&) = delete;

    void Add(THandle window) { windows_.Add(static_cast<TIntegerList::Value>(window)); }
    void Remove(THandle window);
    int Count() const { return windows_.Count(); }

private:
    void SetVisible(bool visible);
    TApplication& app_;
    TIntegerList windows_;
};

}  // namespace quorvel
