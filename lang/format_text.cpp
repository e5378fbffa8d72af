// printf-style formatting over typed arguments. Numbers are written the way the C locale writes
// them, whatever locale the process runs in, so encoder options and list texts never pick up a
// decimal comma.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "lang/resource_strings.h"

namespace lang {
namespace {

// Widths and precisions beyond this are cut: a text must not make the formatter allocate without
// bound.
constexpr int kMaxField = 4096;

struct Directive {
    bool bLeft = false;  // '-'
    bool bPlus = false;  // '+'
    bool bSpace = false; // ' '
    bool bAlt = false;   // '#'
    bool bZero = false;  // '0'
    int nWidth = 0;
    int nPrecision = -1; // -1: none
    char cConv = 0;
};

// Appends sign/prefix and body padded to the width.
void Emit(std::string& out, const Directive& dir, std::string_view prefix, std::string_view body,
          bool bZeroPadAllowed) {
    const std::size_t len = prefix.size() + body.size();
    const std::size_t width = static_cast<std::size_t>(dir.nWidth);
    const std::size_t pad = width > len ? width - len : 0;
    if (dir.bLeft) {
        out.append(prefix);
        out.append(body);
        out.append(pad, ' ');
    } else if (dir.bZero && bZeroPadAllowed) {
        out.append(prefix);
        out.append(pad, '0');
        out.append(body);
    } else {
        out.append(pad, ' ');
        out.append(prefix);
        out.append(body);
    }
}

void EmitText(std::string& out, const Directive& dir, std::string_view text, bool bUsePrecision) {
    if (bUsePrecision && dir.nPrecision >= 0 &&
        text.size() > static_cast<std::size_t>(dir.nPrecision)) {
        text = text.substr(0, static_cast<std::size_t>(dir.nPrecision));
    }
    Emit(out, dir, {}, text, false);
}

std::string Digits(unsigned long long value, int base, bool bUpper) {
    char buf[72];
    auto res = std::to_chars(buf, buf + sizeof(buf), value, base);
    std::string s(buf, res.ptr);
    if (bUpper) {
        std::transform(s.begin(), s.end(), s.begin(), [](char c) {
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        });
    }
    return s;
}

// An integer conversion (d i u o x X) of a magnitude and sign.
void EmitInteger(std::string& out, const Directive& dir, bool bNegative,
                 unsigned long long magnitude) {
    const char conv = dir.cConv;
    const bool bSigned = conv == 'd' || conv == 'i';
    const int base = (conv == 'o') ? 8 : (conv == 'x' || conv == 'X') ? 16 : 10;
    std::string body;
    if (!(dir.nPrecision == 0 && magnitude == 0)) {
        body = Digits(magnitude, base, conv == 'X');
    }
    if (dir.nPrecision > 0 && body.size() < static_cast<std::size_t>(dir.nPrecision)) {
        body.insert(0, static_cast<std::size_t>(dir.nPrecision) - body.size(), '0');
    }
    std::string prefix;
    if (bSigned) {
        if (bNegative) {
            prefix = "-";
        } else if (dir.bPlus) {
            prefix = "+";
        } else if (dir.bSpace) {
            prefix = " ";
        }
    } else if (dir.bAlt) {
        if (base == 8 && (body.empty() || body[0] != '0')) {
            body.insert(0, "0");
        } else if (base == 16 && magnitude != 0) {
            prefix = conv == 'X' ? "0X" : "0x";
        }
    }
    Emit(out, dir, prefix, body, dir.nPrecision < 0);
}

// A floating conversion (f F e E g G a A).
void EmitReal(std::string& out, const Directive& dir, double value) {
    const char conv = dir.cConv;
    const bool bUpper = conv == 'F' || conv == 'E' || conv == 'G' || conv == 'A';
    std::string prefix;
    if (std::signbit(value) && !std::isnan(value)) {
        prefix = "-";
        value = -value;
    } else if (dir.bPlus) {
        prefix = "+";
    } else if (dir.bSpace) {
        prefix = " ";
    }
    std::string body;
    if (std::isnan(value)) {
        body = "nan";
    } else if (std::isinf(value)) {
        body = "inf";
    } else {
        char buf[kMaxField + 400];
        std::to_chars_result res{};
        const int precision = dir.nPrecision;
        switch (conv) {
        case 'e':
        case 'E':
            res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::scientific,
                                precision < 0 ? 6 : precision);
            break;
        case 'g':
        case 'G':
            res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::general,
                                precision < 0 ? 6 : precision);
            break;
        case 'a':
        case 'A':
            res = precision < 0
                      ? std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::hex)
                      : std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::hex,
                                      precision);
            prefix += "0x";
            break;
        default:
            res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed,
                                precision < 0 ? 6 : precision);
            break;
        }
        if (res.ec == std::errc()) {
            body.assign(buf, res.ptr);
        }
        if (dir.bAlt && body.find('.') == std::string::npos && conv != 'a' && conv != 'A' &&
            body.find('e') == std::string::npos) {
            body += '.';
        }
    }
    if (bUpper) {
        for (char& c : prefix) {
            c = (c == 'x') ? 'X' : c;
        }
        std::transform(body.begin(), body.end(), body.begin(), [](char c) {
            return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        });
    }
    Emit(out, dir, prefix, body, std::isfinite(value));
}

// Mask of the bits of an integer of the given byte size.
unsigned long long SizeMask(std::size_t size) {
    if (size == 0 || size >= sizeof(unsigned long long)) {
        return std::numeric_limits<unsigned long long>::max();
    }
    return (1ULL << (size * 8U)) - 1ULL;
}

// A double as an integer, truncated toward zero; false when it does not fit.
bool RealToInteger(double value, long long& result) {
    if (!std::isfinite(value) || value >= 9.2e18 || value <= -9.2e18) {
        return false;
    }
    result = static_cast<long long>(value);
    return true;
}

std::string TextOfNumber(const FormatArg& arg) {
    switch (arg.GetKind()) {
    case FormatArg::Kind::Signed:
        return std::to_string(arg.Signed());
    case FormatArg::Kind::Unsigned:
        return std::to_string(arg.Unsigned());
    case FormatArg::Kind::Real: {
        std::string s;
        Directive g;
        g.cConv = 'g';
        EmitReal(s, g, arg.Real());
        return s;
    }
    case FormatArg::Kind::Text:
        break;
    }
    return std::string(arg.Text());
}

void Convert(std::string& out, const Directive& dir, const FormatArg& arg) {
    const FormatArg::Kind kind = arg.GetKind();
    switch (dir.cConv) {
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X': {
        const bool bSigned = dir.cConv == 'd' || dir.cConv == 'i';
        long long sValue = 0;
        if (kind == FormatArg::Kind::Text) {
            EmitText(out, dir, arg.Text(), false);
            return;
        }
        if (kind == FormatArg::Kind::Real) {
            if (!RealToInteger(arg.Real(), sValue)) {
                Directive f = dir;
                f.cConv = 'f';
                f.nPrecision = 0;
                EmitReal(out, f, arg.Real());
                return;
            }
        }
        if (kind == FormatArg::Kind::Unsigned) {
            EmitInteger(out, dir, false, arg.Unsigned());
            return;
        }
        if (kind == FormatArg::Kind::Signed) {
            sValue = arg.Signed();
        }
        if (bSigned) {
            const unsigned long long magnitude =
                sValue < 0 ? 0ULL - static_cast<unsigned long long>(sValue)
                           : static_cast<unsigned long long>(sValue);
            EmitInteger(out, dir, sValue < 0, magnitude);
        } else {
            // A negative value read as unsigned keeps the bits of its own width, as printf does.
            const std::size_t size = kind == FormatArg::Kind::Signed ? arg.Size() : 8;
            EmitInteger(out, dir, false, static_cast<unsigned long long>(sValue) & SizeMask(size));
        }
        return;
    }
    case 'c':
        if (kind == FormatArg::Kind::Signed || kind == FormatArg::Kind::Unsigned) {
            const unsigned long long v = kind == FormatArg::Kind::Signed
                                             ? static_cast<unsigned long long>(arg.Signed())
                                             : arg.Unsigned();
            const char c = static_cast<char>(v & 0xFFU);
            Emit(out, dir, {}, std::string_view(&c, 1), false);
        } else {
            EmitText(out, dir, TextOfNumber(arg), false);
        }
        return;
    case 's':
        if (kind == FormatArg::Kind::Text) {
            EmitText(out, dir, arg.IsNullText() ? std::string_view("(null)") : arg.Text(), true);
        } else {
            EmitText(out, dir, TextOfNumber(arg), false);
        }
        return;
    case 'p': {
        if (kind == FormatArg::Kind::Text) {
            EmitText(out, dir, arg.Text(), false);
            return;
        }
        Directive x = dir;
        x.cConv = 'x';
        x.bAlt = true;
        const unsigned long long v = kind == FormatArg::Kind::Signed
                                         ? static_cast<unsigned long long>(arg.Signed())
                                     : kind == FormatArg::Kind::Unsigned ? arg.Unsigned()
                                                                         : 0ULL;
        EmitInteger(out, x, false, v);
        return;
    }
    default: { // f F e E g G a A
        if (kind == FormatArg::Kind::Text) {
            EmitText(out, dir, arg.Text(), false);
            return;
        }
        const double v = kind == FormatArg::Kind::Real     ? arg.Real()
                         : kind == FormatArg::Kind::Signed ? static_cast<double>(arg.Signed())
                                                           : static_cast<double>(arg.Unsigned());
        EmitReal(out, dir, v);
        return;
    }
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal field, capped.
int ReadNumber(std::string_view format, std::size_t& i) {
    long long value = 0;
    while (i < format.size() && IsDigit(format[i])) {
        value = std::min<long long>(value * 10 + (format[i] - '0'), kMaxField);
        ++i;
    }
    return static_cast<int>(value);
}

// An integer argument for "*", 0 when there is none or it is not a number.
int StarArgument(const std::vector<FormatArg>& args, std::size_t& next) {
    if (next >= args.size()) {
        return 0;
    }
    const FormatArg& arg = args[next++];
    long long v = 0;
    switch (arg.GetKind()) {
    case FormatArg::Kind::Signed:
        v = arg.Signed();
        break;
    case FormatArg::Kind::Unsigned:
        v = static_cast<long long>(std::min<unsigned long long>(arg.Unsigned(), kMaxField));
        break;
    case FormatArg::Kind::Real:
        if (!RealToInteger(arg.Real(), v)) {
            v = 0;
        }
        break;
    case FormatArg::Kind::Text:
        break;
    }
    return static_cast<int>(std::clamp<long long>(v, -kMaxField, kMaxField));
}

} // namespace

std::string FormatText(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        const std::size_t start = i;
        ++i;
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Directive dir;
        for (; i < format.size(); ++i) {
            const char f = format[i];
            if (f == '-') {
                dir.bLeft = true;
            } else if (f == '+') {
                dir.bPlus = true;
            } else if (f == ' ') {
                dir.bSpace = true;
            } else if (f == '#') {
                dir.bAlt = true;
            } else if (f == '0') {
                dir.bZero = true;
            } else {
                break;
            }
        }
        if (i < format.size() && format[i] == '*') {
            ++i;
            int w = StarArgument(args, next);
            if (w < 0) {
                dir.bLeft = true;
                w = -w;
            }
            dir.nWidth = w;
        } else {
            dir.nWidth = ReadNumber(format, i);
        }
        if (i < format.size() && format[i] == '.') {
            ++i;
            if (i < format.size() && format[i] == '*') {
                ++i;
                const int p = StarArgument(args, next);
                dir.nPrecision = p < 0 ? -1 : p;
            } else {
                dir.nPrecision = ReadNumber(format, i);
            }
        }
        // Length modifiers carry no meaning here: each argument knows its own type.
        while (i < format.size()) {
            const char m = format[i];
            if (m == 'h' || m == 'l' || m == 'L' || m == 'q' || m == 'j' || m == 'z' || m == 't' ||
                m == 'w') {
                ++i;
            } else if (m == 'I') {
                ++i;
                if (format.substr(i, 2) == "64" || format.substr(i, 2) == "32") {
                    i += 2;
                }
            } else {
                break;
            }
        }
        if (i >= format.size()) {
            out.append(format.substr(start)); // an unfinished conversion stays as written
            break;
        }
        char conv = format[i++];
        if (conv == 'S') {
            conv = 's';
        } else if (conv == 'C') {
            conv = 'c';
        }
        // strchr also finds the terminating zero: a zero byte after '%' is no conversion either.
        if (conv == '\0' || std::strchr("diuoxXcspfFeEgGaA", conv) == nullptr) {
            if (conv == 'n') {
                ++next; // consumes its argument, writes nothing
            } else {
                out.append(format.substr(start, i - start)); // unknown: kept as written
            }
            continue;
        }
        dir.cConv = conv;
        if (next >= args.size()) {
            continue; // no argument: nothing is printed
        }
        Convert(out, dir, args[next++]);
    }
    return out;
}

} // namespace lang
