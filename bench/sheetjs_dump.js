// Reads every cell of every sheet with SheetJS, as the comparison
// benchmark's peer of `zelvano-xls dump` where node and the xlsx module are
// installed: writes them to stdout.
//   node sheetjs_dump.js PATH
const XLSX = require("xlsx");
const book = XLSX.readFile(process.argv[2], {dense: true});
const out = [];
for (const name of book.SheetNames) {
    const rows = book.Sheets[name]["!data"] || [];
    rows.forEach((row, r) => (row || []).forEach((cell, c) => {
        if (cell && cell.v !== undefined && cell.v !== "")
            out.push(`${name}\t${r + 1}\t${c + 1}\t${cell.v}\n`);
    }));
}
process.stdout.write(out.join(""));
