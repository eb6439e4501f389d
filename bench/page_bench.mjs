// The page's speed and size against its targets, in headless Chromium, each as a ratio of
// the target (below 1 meets it): 8 correlated variables x 25,000 cases with their key, the
// page's compressed size, and its first paint from a local server.
//   node bench/page_bench.mjs build-web/site NPM_FOLDER
import { existsSync, readFileSync, readdirSync } from "node:fs";
import { createServer } from "node:http";
import { createRequire } from "node:module";
import path from "node:path";
import { gzipSync } from "node:zlib";

const [site, npmFolder] = process.argv.slice(2).map((p) => path.resolve(p));
const { chromium } = createRequire(path.join(npmFolder, "node_modules", "x.js"))("playwright-core");

const compressed = readdirSync(site).reduce((sum, file) =>
    sum + gzipSync(readFileSync(path.join(site, file)), { level: 9 }).length, 0);

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css" };
const server = createServer((request, response) => {
    const file = path.join(site, request.url === "/" ? "index.html" : path.basename(request.url));
    if (!existsSync(file)) {
        response.writeHead(404).end();
        return;
    }
    response.writeHead(200, { "content-type": types[path.extname(file)] ?? "application/octet-stream" });
    response.end(readFileSync(file));
}).listen(0);
const url = `http://127.0.0.1:${server.address().port}/`;

const browser = await chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });
try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    await page.goto(url);
    await page.waitForSelector("body.ready");
    const firstPaint = await page.evaluate(() =>
        performance.getEntriesByType("paint").find((entry) => entry.name === "first-contentful-paint")?.startTime ?? NaN);
    const runs = await page.evaluate(async () => {
        const zek = await ZekModule();
        zek.FS.mkdir("/zek");
        const program = new zek.Page();
        program.selectDesign(35);
        program.setBoxText(1, 2, "25000");
        program.setCorrelationPreset(2);
        program.setSeedText("7");
        const times = [];
        for (let k = 0; k < 5; ++k) {
            const start = performance.now();
            program.generate("bench.csv");
            times.push(performance.now() - start);
        }
        return times;
    });
    const best = Math.min(...runs);
    console.log(`8 x 25,000 correlated with key: ${best.toFixed(0)} ms (best of 5), ratio to 500 ms ${(best / 500).toFixed(2)}`);
    console.log(`compressed page: ${(compressed / 1e6).toFixed(2)} MB, ratio to 3 MB ${(compressed / 3e6).toFixed(2)}`);
    console.log(`first paint: ${firstPaint.toFixed(0)} ms, ratio to 1000 ms ${(firstPaint / 1000).toFixed(2)}`);
} finally {
    await browser.close();
    server.close();
}
