// TSet: the class library's small sets of an enumerated type, built as the
// class library builds them: TFontStyles() << fsBold << fsItalic, tested
// with Contains(). The elements' ordinal values (0 .. 31) are the bits.
#pragma once

#include <cstdint>

template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(E element) : FBits(Bit(element)) {}

    constexpr TSet &operator<<(E element)
    {
        FBits |= Bit(element);
        return *this;
    }
    constexpr TSet &operator>>(E element)
    {
        FBits &= ~Bit(element);
        return *this;
    }
    constexpr bool Contains(E element) const { return (FBits & Bit(element)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    void Clear() { FBits = 0; }

    // The bits, element n as bit n; for the form reader and for storage.
    constexpr uint32_t ToInt() const { return FBits; }
    static constexpr TSet FromInt(uint32_t bits)
    {
        TSet set;
        set.FBits = bits;
        return set;
    }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromInt(a.FBits | b.FBits); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromInt(a.FBits & b.FBits); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromInt(a.FBits & ~b.FBits); }
    friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }
    friend constexpr bool operator!=(TSet a, TSet b) { return a.FBits != b.FBits; }

private:
    static constexpr uint32_t Bit(E element) { return uint32_t(1) << static_cast<unsigned>(element); }
    uint32_t FBits = 0;
};
