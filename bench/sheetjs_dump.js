// Reads every cell of every sheet with SheetJS, as the comparison
// benchmark's peer of `zelvano-xls dump` where node and the xlsx module are
// installed: writes them to stdout. Values only, as ours: no formatted
// text and no HTML of rich text, which SheetJS makes by default.
//   node sheetjs_dump.js PATH
const XLSX = require("xlsx");
const book = XLSX.readFile(process.argv[2], {dense: true, cellText: false, cellHTML: false});
const out = [];
for (const name of book.SheetNames) {
    // Dense sheets are their own array of rows up to SheetJS 0.18, "!data" after.
    const sheet = book.Sheets[name];
    const rows = sheet["!data"] || (Array.isArray(sheet) ? sheet : []);
    rows.forEach((row, r) => (row || []).forEach((cell, c) => {
        if (cell && cell.v !== undefined && cell.v !== "")
            out.push(`${name}\t${r + 1}\t${c + 1}\t${cell.v}\n`);
    }));
}
process.stdout.write(out.join(""));
