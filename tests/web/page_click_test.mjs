// Clicks through the page in headless Chromium as a teacher would: a design of each family
// opened from its golden parameters file, an option set in its dialog, Generate, the viewer's
// three views, and every download compared byte for byte with the golden files; then a refused
// entry, whose message names the problem and whose OK puts the focus on the entry.
//   node tests/web/page_click_test.mjs build-web/site tests/golden NPM_FOLDER
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";

const [site, golden, npmFolder] = process.argv.slice(2).map((p) => path.resolve(p));
const { chromium } = createRequire(path.join(npmFolder, "node_modules", "x.js"))("playwright-core");

const folders = ["02_2groups", "10_2group2dv", "14_2dv2group", "19_2x3", "23_regression2",
                 "31_corr4", "53_mixed3occ", "56_cat2x2_small", "59_logistic1", "65_corr5_reversed_items_mean"];

function withoutPaths(name, text) {
    if (name.endsWith("_info.TXT")) return text.replace(/^  .*data\.csv\r$/m, "  <data file>\r");
    if (name.endsWith("_key.TXT")) return text.replace(/^(.*\r\n)Data file: .*\r$/m, "$1Data file: <data file>\r");
    return text;
}

const failures = [];

// The files of a stored .zip the page offers, by name.
let zipEntries;
function check(condition, what) {
    if (!condition) failures.push(what);
}

const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    zipEntries = async (href) => {
        const zip = Buffer.from(await page.evaluate(async (url) =>
            Array.from(new Uint8Array(await (await fetch(url)).arrayBuffer())), href));
        const entries = new Map();
        for (let at = 0; zip.readUInt32LE(at) === 0x04034b50;) {
            const size = zip.readUInt32LE(at + 18);
            const nameLength = zip.readUInt16LE(at + 26);
            const start = at + 30 + nameLength;
            entries.set(zip.toString("latin1", at + 30, start), zip.subarray(start, start + size));
            at = start + size;
        }
        return entries;
    };
    page.setDefaultTimeout(20000);
    page.on("pageerror", (error) => failures.push("page error: " + error.message));
    await page.goto("file://" + path.join(site, "index.html"));
    await page.waitForSelector("body.ready");
    await page.fill("#txt_datafile", "data");
    for (const name of folders) {
        const folder = path.join(golden, name);
        const input = readFileSync(path.join(folder, "input.TXT"), "latin1");
        const code = Number(input.split("\r\n")[input.split("\r\n").indexOf("===================Design") + 1]);
        // Each golden run starts from a fresh program, as zek-generate's does.
        await page.click("#menu_options summary");
        await page.click("[data-action=reset]");
        await page.click(`input[name=design][value="${code}"]`);
        await page.setInputFiles("#open_file", path.join(folder, "input.TXT"));
        const options = readFileSync(path.join(folder, "options"), "utf8").trim().split(/\s+/);
        if (options[0] === "--reliability") {
            await page.click("#menu_options summary");
            await page.click("[data-action=reliability]");
            await page.fill("#ask_text", options[1]);
            await page.click("#ask button[value=ok]");
        }
        await page.click("#btn_run");
        await page.waitForSelector("#downloads a");
        for (const view of ["#view_info", "#view_data", "#view_both"]) await page.click(view);
        const shown = await page.textContent("#viewer_text");
        check(shown.includes("CONTENTS OF INFORMATION FILE NAMED"), `${name}: the viewer shows the information file`);
        const links = await page.$$eval("#downloads a", (all) => all.map((a) => [a.download, a.href]));
        check(links.length === 4, `${name}: four downloads`);
        for (const [file, url] of links) {
            const bytes = await page.evaluate(async (href) =>
                Array.from(new Uint8Array(await (await fetch(href)).arrayBuffer())), url);
            const ours = withoutPaths(file, Buffer.from(bytes).toString("latin1"));
            const expected = readFileSync(path.join(folder, file), "latin1");
            check(ours === expected, `${name}/${file}: the download is the golden file`);
        }
    }
    // A class set of three: one .zip holding each dataset's four files and the class key.
    await page.click("#btn_classset");
    await page.fill("#txt_students", "3");
    await page.fill("#txt_firstseed", "4242");
    await page.fill("#txt_setname", "class");
    await page.click("#classset button[value=ok]");
    await page.waitForSelector("#downloads a[download='class.zip']");
    const zipUrl = await page.getAttribute("#downloads a", "href");
    let entries = await zipEntries(zipUrl);
    const names = [...entries.keys()];
    check(names.length === 13 && names.includes("class_3_key.TXT") && names.includes("class_key.csv"),
          `the class set's .zip holds 13 files: ${names.join(" ")}`);

    // From a roster, with handouts and a quiz asking one ticked figure.
    await page.click("#btn_classset");
    await page.setInputFiles("#txt_roster", { name: "roster.csv", mimeType: "text/csv",
                                              buffer: Buffer.from("\ufeffid;name\r\ns1;Anna\r\ns2;Jos\u00e9\r\n") });
    await page.check("#chk_handouts");
    await page.check("#chk_moodle");
    await page.fill("#txt_instructions", "Compute alpha.");
    await page.check("#lst_quizfigures input >> nth=0");
    await page.fill("#txt_setname", "exam");
    await page.click("#classset button[value=ok]");
    await page.waitForSelector("#downloads a[download='exam.zip']");
    entries = await zipEntries(await page.getAttribute("#downloads a", "href"));
    check(entries.has("exam_s2.csv") && entries.size === 2 * 4 + 3,
          `the roster's .zip: ${[...entries.keys()].join(" ")}`);
    const handouts = (entries.get("exam_handouts.pdf") ?? Buffer.alloc(0)).toString("latin1");
    check(handouts.startsWith("%PDF-1.4") && handouts.includes("(Jos\\351 \\(s2\\)) Tj"),
          "the handouts name each student");
    const quiz = (entries.get("exam_moodle.xml") ?? Buffer.alloc(0)).toString("utf8");
    check((quiz.match(/\{1:NUMERICAL:/g) ?? []).length === 2 && quiz.includes("<idnumber>s2</idnumber>"),
          "the quiz asks the ticked figure of each student");

    // A text that is no number: the desktop's message, and the focus on the box's S.D.
    await page.click("#rdo_corr4");
    await page.fill("#txt_sd2", "abc");
    await page.click("#btn_run");
    await page.waitForSelector("#message[open]");
    check((await page.textContent("#message_text")) === "You must enter an appropriate numeric value",
          "the refusal's message");
    await page.click("#message_ok");
    // The focus moves once the dialog has closed; a page that never moves it fails here.
    await page.waitForFunction(() => document.activeElement.id === "txt_sd2", null, { timeout: 5000 })
        .catch(() => {});
    const focused = await page.evaluate(() => document.activeElement.id);
    check(focused === "txt_sd2", `the focus after the message, on ${focused}`);
} finally {
    await browser.close();
}
for (const failure of failures) console.log("FAILED: " + failure);
console.log(`${folders.length} designs clicked through, ${failures.length} failures`);
process.exit(failures.length === 0 ? 0 : 1);
