#pragma once

// Damaged and unusual roll books for the window tests, made from a good copy
// in a test's scratch folder: one cell record of one worksheet is changed in
// place, every other byte stays, so the file still opens and lists its sheets
// and the damage shows only when that sheet's cells are read or written.

#include "rollbook/biff/BiffRecords.h"
#include "rollbook/biff/BiffText.h"
#include "rollbook/biff/ByteIO.h"
#include "rollbook/cfb/CompoundFile.h"
#include "rollbook/cfb/SafeSave.h"

#include <QString>

#include <filesystem>
#include <optional>

namespace zelvano::testing
{

enum class Damage {
    // A text cell names a string past the end of the string table.
    TextPastStringTable,
    // A cell record is cut short (its body ends after the row and column);
    // the bytes it lost become an unknown record, so the sheet still ends
    // where it should.
    CellCutShort,
    // A formula cell becomes one cell of an array formula: it can be read,
    // but it cannot be changed on its own.
    ArrayFormulaPart,
};

namespace detail
{

inline std::optional<std::uint32_t> sheetBegin(const xls::Bytes& stream, const QString& sheet)
{
    for (const xls::RecordPos& r : xls::readSubstream(stream, 0)) {
        if (r.type != xls::rt::BoundSheet || r.size < 8)
            continue;
        const std::uint8_t* data = stream.data() + r.dataPos();
        const std::u16string name = xls::readUnicodeString(data + 6, r.size - 6, true);
        if (QString::fromStdU16String(name) == sheet)
            return xls::io::u32(data);
    }
    return std::nullopt;
}

inline bool damageStream(xls::Bytes& stream, const QString& sheet, int row, int column,
                         Damage damage)
{
    const auto begin = sheetBegin(stream, sheet);
    if (!begin)
        return false;
    for (const xls::RecordPos& r : xls::readSubstream(stream, *begin)) {
        std::uint8_t* data = stream.data() + r.dataPos();
        if (r.size < 4 || xls::io::u16(data) != row - 1 || xls::io::u16(data + 2) != column - 1)
            continue;
        switch (damage) {
        case Damage::TextPastStringTable:
            if (r.type != xls::rt::LabelSst || r.size < 10)
                return false;
            xls::io::set32(data + 6, 0x00FFFFFF);
            return true;
        case Damage::CellCutShort: {
            if (r.size < 8 || r.type == xls::rt::Row)
                return false;
            const std::uint16_t rest = static_cast<std::uint16_t>(r.size - 8);
            xls::io::set16(stream.data() + r.pos + 2, 4);
            xls::io::set16(data + 4, 0x0000); // an unknown record type
            xls::io::set16(data + 6, rest);
            return true;
        }
        case Damage::ArrayFormulaPart:
            // cce = 5: one PtgExp naming the array's first cell (this one); the
            // old tokens stay behind as extra data. Not a shared formula.
            if (r.type != xls::rt::Formula || r.size < 27)
                return false;
            xls::io::set16(data + 14, xls::io::u16(data + 14) & ~0x0008);
            xls::io::set16(data + 20, 5);
            data[22] = 0x01;
            xls::io::set16(data + 23, static_cast<std::uint16_t>(row - 1));
            xls::io::set16(data + 25, static_cast<std::uint16_t>(column - 1));
            return true;
        }
    }
    return false;
}

} // namespace detail

// Damages the cell (row, column; 1-based) of the worksheet named `sheet` in
// the .xls at `file`. False when the file has no such cell of the kind the
// damage needs.
inline bool damageCell(const QString& file, const QString& sheet, int row, int column,
                       Damage damage)
{
    const std::filesystem::path path(file.toStdU16String());
    xls::CompoundFile cfb = xls::CompoundFile::parse(xls::readWholeFile(path));
    auto stream = cfb.readRootStream("Workbook");
    if (!stream || !detail::damageStream(*stream, sheet, row, column, damage))
        return false;
    cfb.replaceRootStream("Workbook", std::move(*stream));
    xls::saveFileAtomically(path, cfb.serialize());
    return true;
}

} // namespace zelvano::testing
