#include "common/gbk_text.h"

#include <iconv.h>

#include <cerrno>
#include <functional>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Utf8SequenceLength gives the length of the well-formed UTF-8 sequence at the start of `text`
// (RFC 3629, section 4), or 0 when it does not start with one.
size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint8_t second_low = 0x80;
    uint8_t second_high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        second_low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        second_high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        second_low = lead == 0xF0 ? 0x90 : 0x80;
        second_high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < second_low || byte(1) > second_high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Convert runs `in` through iconv from `from` to `to`, appending to `out`. At a sequence that
// cannot be converted, `on_bad` gets the rest of the input, appends what stands for it and gives
// the number of input bytes to pass over, or 0 to give up (Convert then gives false). Without a
// converter (a C library without GBK) ASCII passes through and every other byte is bad.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             const std::function<size_t(std::string_view, std::string&)>& on_bad) {
    const iconv_t cd = iconv_open(to, from);
    const bool have_converter = cd != reinterpret_cast<iconv_t>(-1);
    char* in_ptr = const_cast<char*>(in.data());  // iconv's interface is not const-correct
    size_t in_left = in.size();
    bool ok = true;
    while (in_left > 0) {
        char buffer[512];
        char* out_ptr = buffer;
        size_t out_left = sizeof buffer;
        size_t rc = static_cast<size_t>(-1);
        if (have_converter) {
            rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        } else if (static_cast<uint8_t>(*in_ptr) < 0x80) {
            *out_ptr++ = *in_ptr++;
            --in_left;
            rc = 0;
        } else {
            errno = EILSEQ;
        }
        out.append(buffer, static_cast<size_t>(out_ptr - buffer));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        // EILSEQ (an invalid or unconvertible sequence) or EINVAL (an incomplete one at the end).
        const size_t skip = on_bad(std::string_view(in_ptr, in_left), out);
        if (skip == 0) {
            ok = false;
            break;
        }
        in_ptr += skip;
        in_left -= skip;
    }
    if (have_converter) {
        iconv_close(cd);
    }
    return ok;
}

}  // namespace

bool EncodeGbk(std::string_view utf8, std::string& gbk) {
    gbk.clear();
    if (!Convert("GBK", "UTF-8", utf8, gbk, [](std::string_view, std::string&) { return 0; })) {
        gbk.clear();
        return false;
    }
    return true;
}

std::string EncodeGbkLossy(std::string_view utf8) {
    std::string gbk;
    (void)Convert("GBK", "UTF-8", utf8, gbk, [](std::string_view rest, std::string& out) {
        out.push_back('?');
        const size_t length = Utf8SequenceLength(rest);
        return length == 0 ? size_t{1} : length;
    });
    return gbk;
}

std::string DecodeGbk(std::span<const uint8_t> gbk) {
    std::string utf8;
    const std::string_view in(reinterpret_cast<const char*>(gbk.data()), gbk.size());
    (void)Convert("UTF-8", "GBK", in, utf8, [](std::string_view, std::string& out) {
        out.append(kReplacementCharacter);
        return size_t{1};
    });
    return utf8;
}
