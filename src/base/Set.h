#pragma once
// A set of the values of a small enumeration, kept as a bit mask (element n
// is bit n), which is also how a set is written to a property file.
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace quorvel {

template <class E>
class TSet {
    static_assert(std::is_enum_v<E>);

public:
    using Element = E;
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> elements) {
        for (E e : elements) Include(e);
    }
    static constexpr TSet FromMask(std::uint32_t mask) {
        TSet s;
        s.mask_ = mask;
        return s;
    }

    constexpr std::uint32_t Mask() const { return mask_; }
    constexpr bool Contains(E e) const { return (mask_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return mask_ == 0; }
    constexpr TSet& Include(E e) {
        mask_ |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        mask_ &= ~Bit(e);
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint32_t Bit(E e) { return std::uint32_t{1} << static_cast<unsigned>(e); }
    std::uint32_t mask_ = 0;
};

}  // namespace quorvel
