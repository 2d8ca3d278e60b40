#pragma once

#include <array>
#include <cstddef>

namespace zelvano
{

// The number an item of a window's menu or control array has in the
// design: what a handler such as MnFs_Click(int) receives.
template <typename Item> constexpr int itemIndex(Item item)
{
    return static_cast<int>(item);
}

// A window's menu items or control array, addressed by the enum class that
// names its items (MnFsItem::Reset), so no code passes bare positions. The
// integer form stays for the handlers' and the tests' boundary.
template <typename Item, typename T, std::size_t N> class ItemArray
{
public:
    T& operator[](Item item) { return m_items.at(static_cast<std::size_t>(item)); }
    const T& operator[](Item item) const { return m_items.at(static_cast<std::size_t>(item)); }
    T& at(int index) { return m_items.at(static_cast<std::size_t>(index)); }
    const T& at(int index) const { return m_items.at(static_cast<std::size_t>(index)); }
    static constexpr int size() { return static_cast<int>(N); }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::array<T, N> m_items{};
};

} // namespace zelvano
