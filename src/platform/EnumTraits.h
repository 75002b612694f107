#pragma once

// Enums persisted as strings. Each such enum provides, beside its declaration:
//   QString rawValue(E)                                the stored string, equal to the case name
//   constexpr std::array<E, N> allCases(std::type_identity<E>)   every case in declaration order
// and gets from this header allCasesOf<E>() and fromRawValue<E>(text), a case-sensitive match
// that yields none for any other string. VANTREL_STRING_ENUM declares both from one case list,
// plus rawName(E), the same string as a Latin-1 literal, which lets fromRawValue match without
// building a QString per case.

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <type_traits>

namespace vantrel {

template <typename E> constexpr auto allCasesOf() {
    return allCases(std::type_identity<E>{});
}

template <typename E> std::optional<E> fromRawValue(QStringView text) {
    for (E value : allCasesOf<E>()) {
        if constexpr (requires { rawName(value); }) {
            if (text == QLatin1StringView(rawName(value))) return value;
        } else {
            if (rawValue(value) == text) return value;
        }
    }
    return std::nullopt;
}

} // namespace vantrel

#define VANTREL_ENUM_CASE_(name) name,
#define VANTREL_ENUM_NAME_(name) #name,
#define VANTREL_ENUM_QUALIFIED_(name) E_::name,

// Declares `enum class Name { cases... }` with rawName(), rawValue() and allCases(). CASES is an
// X-macro taking one argument: `#define NOTCH_SIZE_CASES(C) C(small) C(medium) C(large)`.
#define VANTREL_STRING_ENUM(Name, CASES)                                                                     \
    enum class Name { CASES(VANTREL_ENUM_CASE_) };                                                           \
    constexpr const char* rawName(Name value) {                                                              \
        constexpr const char* names[] = {CASES(VANTREL_ENUM_NAME_)};                                         \
        return names[static_cast<int>(value)];                                                               \
    }                                                                                                        \
    inline QString rawValue(Name value) {                                                                    \
        return QString::fromLatin1(rawName(value));                                                          \
    }                                                                                                        \
    constexpr auto allCases(std::type_identity<Name>) {                                                      \
        using E_ = Name;                                                                                     \
        return std::array{CASES(VANTREL_ENUM_QUALIFIED_)};                                                   \
    }
