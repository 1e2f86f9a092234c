#include "gui/QtPaths.h"

#include <QCoreApplication>
#include <QDir>

#include <string>
#include <string_view>
#include <system_error>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

[[maybe_unused]] constexpr char16_t kEscapeBase = 0xDC00;

[[maybe_unused]] QString DecodeFileName(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const int length = first < 0x80 ? 1 : (first >> 5) == 0x6 ? 2 : (first >> 4) == 0xE ? 3 : (first >> 3) == 0x1E ? 4 : 0;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= bytes.size();
        char32_t code = length == 1 ? first : length == 2 ? first & 0x1F : length == 3 ? first & 0x0F : first & 0x07;
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not UTF-8 either.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            text += QChar(static_cast<char16_t>(kEscapeBase + first));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(static_cast<char16_t>(code));
        }
        i += static_cast<std::size_t>(length);
    }
    return text;
}

[[maybe_unused]] std::string EncodeFileName(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        char32_t code = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            code = QChar::surrogateToUcs4(unit, text[i + 1].unicode());
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes += static_cast<char>(unit - kEscapeBase);
            continue;
        } else if (QChar::isSurrogate(unit)) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

} // namespace

fs::path ToPath(const QString& text) {
#ifdef _WIN32
    return fs::path(QDir::toNativeSeparators(text).toStdWString());
#else
    return fs::path(EncodeFileName(text));
#endif
}

QString ToQString(const fs::path& path) {
#ifdef _WIN32
    return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
#else
    return DecodeFileName(path.native());
#endif
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

QStringList CommandLineArguments(int argc, char** argv) {
#ifdef _WIN32
    // Windows hands Qt the wide command line; argv would be the ANSI code page's.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    for (QString& argument : arguments)
        argument = QDir::toNativeSeparators(argument);
    return arguments;
#else
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << DecodeFileName(argv[i]);
    return arguments;
#endif
}

} // namespace keyloom
