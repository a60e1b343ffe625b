#include "toolkit/DialogTemplate.h"

namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint16_t Word() {
        Need(2);
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t DWord() {
        uint32_t lo = Word();
        uint32_t hi = Word();
        return lo | (hi << 16);
    }
    int Short() { return static_cast<int16_t>(Word()); }
    uint8_t Byte() {
        Need(1);
        return data_[pos_++];
    }
    std::u16string String() {
        std::u16string s;
        for (uint16_t c = Word(); c != 0; c = Word()) s.push_back(static_cast<char16_t>(c));
        return s;
    }
    // A name or an ordinal; the ordinal comes back as 0xFFFF followed by its value.
    std::u16string NameOrOrdinal(uint16_t& ordinal) {
        ordinal = 0;
        Need(2);
        uint16_t first = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        if (first == 0xFFFF) {
            pos_ += 2;
            ordinal = Word();
            return {};
        }
        return String();
    }
    void AlignDWord() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t n) {
        Need(n);
        pos_ += n;
    }

private:
    void Need(size_t n) const {
        if (pos_ + n > size_) throw Exception("Dialog template ends too early");
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

std::u16string PredefinedClass(uint16_t ordinal) {
    switch (ordinal) {
        case 0x80: return u"Button";
        case 0x81: return u"Edit";
        case 0x82: return u"Static";
        case 0x83: return u"ListBox";
        case 0x84: return u"ScrollBar";
        case 0x85: return u"ComboBox";
        default: throw Exception("Unknown control class " + std::to_string(ordinal) + " in a dialog template");
    }
}

int RoundedScale(int value, int mul, int div) {
    long long p = static_cast<long long>(value) * mul;
    return static_cast<int>(p >= 0 ? (p + div / 2) / div : -((-p + div / 2) / div));
}

bool SameLetters(const std::u16string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char16_t x = a[i], y = static_cast<char16_t>(b[i]);
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

TDialogTemplate ParseDialogTemplate(const uint8_t* data, size_t size) {
    TReader r(data, size);
    TDialogTemplate t;
    uint16_t version = r.Word();
    uint16_t signature = r.Word();
    if (version != 1 || signature != 0xFFFF) throw Exception("Not a DIALOGEX template");
    r.DWord();  // help id
    t.ExStyle = r.DWord();
    t.Style = r.DWord();
    int count = r.Word();
    t.X = r.Short();
    t.Y = r.Short();
    t.Cx = r.Short();
    t.Cy = r.Short();
    uint16_t ordinal = 0;
    std::u16string menu = r.NameOrOrdinal(ordinal);
    if (!menu.empty() || ordinal != 0) throw Exception("Dialog templates with a menu are not supported");
    std::u16string windowClass = r.NameOrOrdinal(ordinal);
    if (!windowClass.empty() || ordinal != 0) throw Exception("Dialog templates with a class are not supported");
    t.Caption = r.String();
    if (t.Style & kSetFont) {
        t.PointSize = r.Word();
        t.Weight = r.Word();
        r.Byte();  // italic
        t.Charset = r.Byte();
        t.FontName = r.String();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignDWord();
        TDialogItem item;
        r.DWord();  // help id
        item.ExStyle = r.DWord();
        item.Style = r.DWord();
        item.X = r.Short();
        item.Y = r.Short();
        item.Cx = r.Short();
        item.Cy = r.Short();
        item.Id = static_cast<int32_t>(r.DWord());
        item.ClassName = r.NameOrOrdinal(ordinal);
        if (ordinal != 0) item.ClassName = PredefinedClass(ordinal);
        item.Text = r.NameOrOrdinal(ordinal);
        if (ordinal != 0) throw Exception("Controls with a resource picture are not supported");
        r.Skip(r.Word());  // creation data
        t.Items.push_back(std::move(item));
    }
    return t;
}

TDialogScale FontDialogScale(int baseX, int baseY) { return {baseX, 4, baseY, 8}; }

TDialogScale FixedClientDialogScale(int cx, int cy, int width, int height) {
    if (cx <= 0 || cy <= 0) throw Exception("A dialog template of no size cannot fill a client area");
    return {width, cx, height, cy};
}

TDialogScale DialogScaleForDpi(const TDialogScale& at96, int dpi) {
    if (dpi <= 0) throw Exception("No dialog scale at " + std::to_string(dpi) + " dpi");
    return {at96.NumX * dpi, at96.DenX * 96, at96.NumY * dpi, at96.DenY * 96};
}

TRectI DialogUnitsToPixels(int x, int y, int cx, int cy, const TDialogScale& s) {
    int left = RoundedScale(x, s.NumX, s.DenX), top = RoundedScale(y, s.NumY, s.DenY);
    return {left, top, left + RoundedScale(cx, s.NumX, s.DenX), top + RoundedScale(cy, s.NumY, s.DenY)};
}

TRectI DialogUnitsToPixels(int x, int y, int cx, int cy, int baseX, int baseY) {
    return DialogUnitsToPixels(x, y, cx, cy, FontDialogScale(baseX, baseY));
}

std::vector<int> ContainerIndices(const std::vector<TDialogItem>& items, const std::vector<bool>& isContainer) {
    std::vector<int> parents(items.size(), -1);
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i; j-- > 0;) {
            if (j >= isContainer.size() || !isContainer[j]) continue;
            const TDialogItem& c = items[j];
            // Pages of one page control share its page area: one page never holds another.
            bool samePlace = items[i].X == c.X && items[i].Y == c.Y && items[i].Cx == c.Cx && items[i].Cy == c.Cy;
            if (samePlace) continue;
            if (items[i].X >= c.X && items[i].Y >= c.Y && items[i].X < c.X + c.Cx && items[i].Y < c.Y + c.Cy) {
                parents[i] = static_cast<int>(j);
                break;
            }
        }
    }
    return parents;
}

bool IsContainerClass(const std::u16string& className) {
    return SameLetters(className, "SysTabControl32") || SameLetters(className, "TTabSheet");
}
