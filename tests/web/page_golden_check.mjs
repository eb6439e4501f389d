// Runs every golden setup through the page's module, as the page's Open and Generate do, and
// compares the four files it writes with the expected ones byte for byte.
//   node tests/web/page_golden_check.mjs build-web/site/zek-page.js tests/golden
import { readFileSync, readdirSync, existsSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";

const [modulePath, goldenFolder] = process.argv.slice(2);
const require = createRequire(import.meta.url);
const ZekModule = require(path.resolve(modulePath));
const zek = await ZekModule();
zek.FS.mkdir("/zek");

// The options a golden folder's runs take on zek-generate's command line.
function applyOptions(page, words) {
    const options = JSON.parse(page.modelJson()).options;
    for (let k = 0; k < words.length; ++k) {
        if (words[k] === "--reliability") page.setReliability(words[++k]);
        else if (words[k] === "--beta") page.setBetaPair(words[++k], words[++k]);
        else if (words[k] === "--repeated" && !options.repeated) page.toggleOption("repeated");
        else if (words[k] === "--long" && !options.long) page.toggleOption("long");
    }
}

// The lines that hold the data file's path, which differs by machine.
function withoutPaths(name, text) {
    if (name === "data_info.TXT") return text.replace(/^  .*data\.csv\r$/m, "  <data file>\r");
    if (name === "data_key.TXT") {
        return text.replace(/^(.*\r\n)Data file: .*\r$/m, "$1Data file: <data file>\r");
    }
    return text;
}

let identical = 0;
let different = 0;
for (const name of readdirSync(goldenFolder).sort()) {
    const folder = path.join(goldenFolder, name);
    if (!existsSync(path.join(folder, "input.TXT"))) continue;
    const page = new zek.Page();
    page.openParametersText(readFileSync(path.join(folder, "input.TXT"), "latin1"));
    const words = readFileSync(path.join(folder, "options"), "utf8").split(/\s+/).filter(Boolean);
    applyOptions(page, words);
    const written = JSON.parse(page.generate("data.csv"));
    const messages = JSON.parse(page.takeMessagesJson());
    if (written.length === 0) {
        console.log(`${name}: nothing written: ${messages.map((m) => m.text).join("; ")}`);
        ++different;
        page.delete();
        continue;
    }
    for (const file of ["data.csv", "data_info.TXT", "data_setup.TXT", "data_key.TXT"]) {
        const ours = withoutPaths(file, Buffer.from(zek.FS.readFile("/zek/" + file)).toString("latin1"));
        const expected = readFileSync(path.join(folder, file), "latin1");
        if (ours === expected) {
            ++identical;
        } else {
            ++different;
            console.log(`${name}/${file} differs from the golden file`);
        }
    }
    page.delete();
}
// A run large enough that the desktop hands work to other threads: WebAssembly has none, so
// the run must do it all on its own (a run that waited for a thread would never end).
const large = new zek.Page();
large.selectDesign(35);
large.setBoxText(1, 2, "25000");
large.setCorrelationPreset(2);
if (JSON.parse(large.generate("large.csv")).length !== 4) {
    console.log("8 x 25,000 correlated: nothing written");
    ++different;
}
large.delete();
console.log(`${identical} files identical to the golden ones, ${different} not`);
process.exit(different === 0 ? 0 : 1);
