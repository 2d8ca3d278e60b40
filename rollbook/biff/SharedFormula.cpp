#include "rollbook/biff/SharedFormula.h"

#include "rollbook/biff/ByteIO.h"

namespace zelvano::xls
{

namespace
{

std::uint16_t relativeRow(std::uint16_t stored, std::uint16_t colField, std::uint16_t row)
{
    if (colField & 0x8000)
        return static_cast<std::uint16_t>(row + static_cast<std::int16_t>(stored));
    return stored;
}

std::uint16_t relativeCol(std::uint16_t colField, std::uint16_t col)
{
    if (colField & 0x4000) {
        const auto offset = static_cast<std::int8_t>(colField & 0xFF);
        const auto absolute = static_cast<std::uint16_t>((col + offset) & 0xFF);
        return static_cast<std::uint16_t>((colField & 0xC000) | absolute);
    }
    return colField;
}

} // namespace

std::optional<Bytes> unshareFormula(const Bytes& body, std::uint16_t row, std::uint16_t col)
{
    // ref (6), reserved, cUse, cce, rgce, rgcb
    if (body.size() < 10)
        return std::nullopt;
    const std::size_t cce = io::u16(&body[8]);
    if (10 + cce > body.size())
        return std::nullopt;
    Bytes out(body.begin() + 10, body.end());
    std::uint8_t* p = out.data();
    std::size_t i = 0;
    while (i < cce) {
        const std::uint8_t ptg = p[i];
        std::size_t size = 0;
        if (ptg >= 0x03 && ptg <= 0x16) {
            size = 0; // operators, parentheses, missing argument
        } else if (ptg == 0x17) {
            if (i + 2 >= cce)
                return std::nullopt;
            size = 2 + std::size_t{p[i + 1]} * ((p[i + 2] & 1) ? 2 : 1);
        } else if (ptg == 0x19) {
            if (i + 3 >= cce)
                return std::nullopt;
            size = 3;
            if (p[i + 1] & 0x04) // choose: a jump table follows
                size += (std::size_t{io::u16(&p[i + 2])} + 1) * 2;
        } else if (ptg == 0x1C || ptg == 0x1D) {
            size = 1;
        } else if (ptg == 0x1E) {
            size = 2;
        } else if (ptg == 0x1F) {
            size = 8;
        } else if (ptg >= 0x20 && ptg < 0x80) {
            switch (ptg & 0x1F) {
            case 0x01: // function
                size = 2;
                break;
            case 0x02: // function with a variable argument count
                size = 3;
                break;
            case 0x03: // name
            case 0x04: // reference
            case 0x0A: // reference error
                size = 4;
                break;
            case 0x05: // area
            case 0x0B: // area error
                size = 8;
                break;
            case 0x0C: // relative reference: made absolute for this cell
                if (i + 5 > cce)
                    return std::nullopt;
                {
                    const std::uint16_t colField = io::u16(&p[i + 3]);
                    io::set16(&p[i + 1], relativeRow(io::u16(&p[i + 1]), colField, row));
                    io::set16(&p[i + 3], relativeCol(colField, col));
                    p[i] = static_cast<std::uint8_t>((ptg & 0x60) | 0x04);
                }
                size = 4;
                break;
            case 0x0D: // relative area
                if (i + 9 > cce)
                    return std::nullopt;
                {
                    const std::uint16_t firstCol = io::u16(&p[i + 5]);
                    const std::uint16_t lastCol = io::u16(&p[i + 7]);
                    io::set16(&p[i + 1], relativeRow(io::u16(&p[i + 1]), firstCol, row));
                    io::set16(&p[i + 3], relativeRow(io::u16(&p[i + 3]), lastCol, row));
                    io::set16(&p[i + 5], relativeCol(firstCol, col));
                    io::set16(&p[i + 7], relativeCol(lastCol, col));
                    p[i] = static_cast<std::uint8_t>((ptg & 0x60) | 0x05);
                }
                size = 8;
                break;
            default:
                return std::nullopt; // arrays, 3-D and memory tokens: not expected here
            }
        } else {
            return std::nullopt;
        }
        i += 1 + size;
    }
    if (i != cce)
        return std::nullopt;
    return out;
}

} // namespace zelvano::xls
