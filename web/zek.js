// The page draws the window model that the program keeps (page.modelJson()) and forwards what
// the user does; every rule lives in the program, as in the desktop window.
"use strict";

const EDITS = ["mean", "sd", "n", "decimals", "min", "max"]; // the program's box edit order
const EDIT_IDS = { mean: "txt_mean", sd: "txt_sd", n: "txt_n", decimals: "txt_dec",
                   min: "txt_min", max: "txt_max" };
const EDIT_HEADINGS = { mean: " Mean ", sd: "S.D.", n: "N", decimals: "# Dec." };

function element(tag, attributes = {}, ...children) {
    const made = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
    made.append(...children);
    return made;
}

function download(name, bytes) {
    const link = element("a", { download: name.split("/").pop() });
    link.href = URL.createObjectURL(new Blob([bytes]));
    link.textContent = name.split("/").pop();
    return link;
}

async function start() {
    const zek = await ZekModule();
    zek.FS.mkdir("/zek");
    zek.FS.mkdir("/zek/set");
    const page = new zek.Page();
    const designs = JSON.parse(zek.Page.designsJson());
    const shapes = JSON.parse(zek.Page.shapesJson());
    const messages = [];

    // The design selector: one row of buttons per row label, as in the window.
    const designSection = document.getElementById("designs");
    const rows = new Map();
    for (const design of designs) {
        if (!rows.has(design.row)) rows.set(design.row, []);
        rows.get(design.row).push(design);
    }
    for (const [label, members] of rows) {
        const row = element("div", { class: "design_row" }, element("span", { class: "row_label" }, label));
        for (const design of members) {
            const input = element("input", { type: "radio", name: "design", id: design.button,
                                             value: String(design.code) });
            input.addEventListener("change", () => act(() => page.selectDesign(design.code)));
            row.append(element("label", {}, input, design.caption));
        }
        designSection.append(row);
    }

    // The eight parameter boxes.
    const boxSection = document.getElementById("boxes");
    for (let box = 1; box <= 8; ++box) {
        const fieldset = element("fieldset", { id: `box_group${box}`, class: "box" },
                                 element("legend", {}));
        for (const [index, edit] of EDITS.entries()) {
            const input = element("input", { id: EDIT_IDS[edit] + box, size: "7" });
            input.addEventListener("input", () => act(() => page.setBoxText(box, index, input.value)));
            if (edit === "min" || edit === "max") {
                const tick = element("input", { type: "checkbox", id: `chk_${edit}${box}` });
                tick.addEventListener("change", () =>
                    act(() => page.setLimitTicked(box, edit === "min" ? 0 : 1, tick.checked)));
                fieldset.append(element("label", { class: "limit" }, tick,
                                        edit === "min" ? "Min Score" : "Max Score", input));
            } else {
                fieldset.append(element("label", { class: "edit" },
                                        element("span", { class: `heading_${edit}` }, EDIT_HEADINGS[edit]), input));
            }
        }
        const shapeRow = element("div", { class: "shapes" });
        for (const [shape, caption] of shapes.entries()) {
            const radio = element("input", { type: "radio", name: `shape${box}`, value: String(shape) });
            radio.addEventListener("change", () => act(() => page.selectShape(box, shape)));
            shapeRow.append(element("label", {}, radio, caption));
        }
        fieldset.append(shapeRow);
        boxSection.append(fieldset);
    }

    // The lower triangle of the correlation grid: r_ij in row j, column i.
    const grid = document.getElementById("grid");
    const header = element("tr", {}, element("th"));
    for (let i = 1; i <= 7; ++i) header.append(element("th", { id: `lbl_v${i}a` }));
    grid.append(header);
    for (let j = 2; j <= 8; ++j) {
        const row = element("tr", {}, element("th", { id: `lbl_v${j}` }));
        for (let i = 1; i <= 7; ++i) {
            const cell = element("td");
            if (i < j) {
                const input = element("input", { id: `txt_r${i}${j}`, size: "5" });
                input.addEventListener("input", () => act(() => page.setCorrelationText(i, j, input.value)));
                cell.append(input);
            }
            row.append(cell);
        }
        grid.append(row);
    }
    for (const button of document.querySelectorAll("[data-preset]")) {
        button.addEventListener("click", () => act(() => page.setCorrelationPreset(Number(button.dataset.preset))));
    }

    for (const [id, setter] of [["txt_title", "setTitle"], ["txt_seed1", "setSeedText"],
                                ["txt_missing_main", "setMissingText"],
                                ["txt_extreme_main", "setExtremeText"]]) {
        const input = document.getElementById(id);
        input.addEventListener("input", () => act(() => page[setter](input.value)));
    }
    document.getElementById("btn_seed").addEventListener("click", () => act(() => page.drawSeed(Math.random())));

    // A categorical design's table of percentages.
    const categoryTable = document.getElementById("category_table");
    document.getElementById("spn_categories").addEventListener("change", (event) =>
        act(() => page.setCategoryRows(Number(event.target.value))));
    for (const radio of document.querySelectorAll("input[name=of]")) {
        radio.addEventListener("change", () => act(() => page.setPercentagesOf(Number(radio.value))));
    }
    function categoryInput(id, value, change) {
        const input = element("input", { id, size: "6" });
        input.value = value ?? "";
        input.addEventListener("input", () => act(() => change(input.value)));
        return input;
    }
    let categoryShape = "";
    function renderCategories(model) {
        const section = document.getElementById("box_categories");
        section.hidden = !model.categorical;
        document.getElementById("boxes").hidden = model.categorical;
        if (!model.categorical) return;
        const texts = model.categories;
        const table = texts.columns > 1;
        document.getElementById("categories_one").hidden = table;
        document.getElementById("categories_of").hidden = !table;
        document.getElementById("spn_categories").value = texts.rows;
        document.querySelector(`input[name=of][value="${texts.ofColumns ? 1 : 0}"]`).checked = true;
        const shape = JSON.stringify([texts.rows, texts.columns, texts.ofColumns, texts.rowHeaders, texts.columnHeaders]);
        if (shape !== categoryShape) {
            // Rebuilt only when its rows, columns or headers change, so typing keeps its place.
            categoryShape = shape;
            categoryTable.replaceChildren();
            const head = element("tr", {}, element("th"));
            for (const header of texts.columnHeaders) head.append(element("th", {}, header));
            categoryTable.append(head);
            for (let row = 0; row < texts.rows; ++row) {
                const line = element("tr", {}, element("th", {}, texts.rowHeaders[row]));
                for (let column = 0; column < texts.columns; ++column) {
                    const cell = row * texts.columns + column;
                    line.append(element("td", {}, categoryInput(`txt_pct${cell + 1}`, texts.percentages[cell],
                                                                (value) => page.setCategoryPercentage(cell, value))));
                }
                categoryTable.append(line);
            }
            const nRow = element("tr", {}, element("th", {}, "N"));
            if (texts.ofColumns) {
                for (let column = 0; column < texts.columns; ++column) {
                    nRow.append(element("td", {}, categoryInput(`txt_catn${column + 1}`, texts.columnN[column],
                                                                (value) => page.setCategoryColumnN(column, value))));
                }
            } else {
                nRow.append(element("td", {}, categoryInput("txt_catn", texts.n, (value) => page.setCategoryN(value))));
            }
            categoryTable.append(nRow);
        }
        const sum = document.getElementById("lbl_sum");
        sum.textContent = texts.sums;
        sum.className = texts.complete ? "complete" : "incomplete";
    }

    // Names and Labels: a row per column and per level, as the desktop's dialog has them.
    async function askNames() {
        const rows = JSON.parse(page.nameRowsJson());
        const dialog = document.getElementById("names");
        const body = dialog.querySelector("tbody");
        body.replaceChildren();
        for (const row of rows) {
            const name = element("input", { size: "14" });
            name.value = row.name;
            name.disabled = row.level !== 0;
            const label = element("input", { size: "30" });
            label.value = row.label;
            const reversed = element("input", { type: "checkbox" });
            reversed.checked = row.reversed;
            reversed.hidden = !row.reversible;
            body.append(element("tr", {}, element("td", {}, row.level === 0 ? row.column : `   = ${row.level}`),
                                element("td", {}, name), element("td", {}, label), element("td", {}, reversed)));
        }
        while (true) {
            dialog.showModal();
            await new Promise((resolve) => dialog.addEventListener("close", resolve, { once: true }));
            if (dialog.returnValue !== "ok") return;
            const typed = [...body.rows].map((tr) => {
                const [name, label, reversed] = tr.querySelectorAll("input");
                return [name.value.trim(), label.value, reversed.checked ? "1" : "0"].join("\x1f");
            }).join("\x1e");
            let taken = false;
            act(() => { taken = page.applyNameRows(typed); });
            if (taken) return;
            await new Promise((resolve) => document.getElementById("message").addEventListener("close", resolve, { once: true }));
        }
    }

    function setText(input, control) {
        if (input.value !== control.text) input.value = control.text;
        input.disabled = !control.enabled;
        input.readOnly = control.readOnly;
        input.hidden = !control.visible;
    }

    // Everything the window shows, from the model.
    function render() {
        const model = JSON.parse(page.modelJson());
        const chosen = designs.find((design) => design.code === model.design);
        document.getElementById(chosen.button).checked = true;
        for (let box = 1; box <= 8; ++box) {
            const shown = model.boxes[box - 1];
            const fieldset = document.getElementById(`box_group${box}`);
            fieldset.hidden = !shown.visible;
            fieldset.querySelector("legend").textContent = shown.caption;
            fieldset.style.background = `rgb(${shown.colour.join(",")})`;
            fieldset.querySelector(".heading_mean").textContent = shown.meanHeading;
            for (const edit of EDITS) setText(document.getElementById(EDIT_IDS[edit] + box), shown[edit]);
            for (const side of ["min", "max"]) {
                const tick = document.getElementById(`chk_${side}${box}`);
                tick.checked = shown[`${side}Check`].checked;
                tick.disabled = !shown[`${side}Check`].enabled;
            }
            for (const radio of fieldset.querySelectorAll(".shapes input")) {
                radio.checked = Number(radio.value) === shown.shape;
                radio.disabled = !shown.shapesEnabled;
            }
        }
        for (const cell of model.correlations) setText(document.getElementById(`txt_r${cell.i}${cell.j}`), cell.cell);
        model.columnHeaders.forEach((text, k) => { document.getElementById(`lbl_v${k + 1}a`).textContent = text; });
        model.rowHeaders.forEach((text, k) => { document.getElementById(`lbl_v${k + 2}`).textContent = text; });
        document.getElementById("grid_warning").hidden = !model.warningVisible;
        for (const [id, key] of [["txt_title", "title"], ["txt_seed1", "seed"],
                                 ["txt_missing_main", "missing"], ["txt_extreme_main", "extreme"]]) {
            const input = document.getElementById(id);
            if (input.value !== model[key]) input.value = model[key];
        }
        for (const tick of document.querySelectorAll("[data-option]")) {
            tick.checked = model.options[tick.dataset.option];
        }
        document.getElementById("scale_score").value = String(model.options.scaleScore);
        renderCategories(model);
    }

    // The program's messages, one modal box after another, each then focusing its control.
    const dialog = document.getElementById("message");
    function showNextMessage() {
        if (dialog.open || messages.length === 0) return;
        const message = messages[0];
        document.getElementById("message_text").textContent = message.text;
        document.getElementById("message_details").textContent = message.details;
        dialog.showModal();
    }
    dialog.addEventListener("close", () => {
        const message = messages.shift();
        const control = message && message.focus && document.getElementById(message.focus);
        // After the dialog has given the focus back to what had it, as it does on closing.
        setTimeout(() => {
            if (control && messages.length === 0) control.focus();
            showNextMessage();
        });
    });

    function act(what) {
        what();
        render();
        messages.push(...JSON.parse(page.takeMessagesJson()));
        showNextMessage();
    }

    // The dialog that asks for a value, like the desktop's option dialogs.
    function ask(label, value, second) {
        const box = document.getElementById("ask");
        document.getElementById("ask_label").textContent = label;
        document.getElementById("ask_text").value = value;
        document.getElementById("ask_second_label").hidden = second === undefined;
        document.getElementById("ask_second").value = second ?? "";
        box.showModal();
        return new Promise((resolve) => box.addEventListener("close", () => resolve(
            box.returnValue === "ok" ? [document.getElementById("ask_text").value,
                                        document.getElementById("ask_second").value] : null),
                                                              { once: true }));
    }
    for (const item of document.querySelectorAll("#menu_options [data-action]")) {
        item.addEventListener("click", async () => {
            document.getElementById("menu_options").open = false;
            const options = JSON.parse(page.modelJson()).options;
            if (item.dataset.action === "reset") act(() => page.resetToStartup());
            if (item.dataset.action === "names") await askNames();
            if (item.dataset.action === "copy") act(() => page.copyCellOneToAllCells());
            if (item.dataset.action === "alpha") {
                const answer = await ask("Cronbach's alpha of the items (between 0 and 1):", "0.8");
                if (answer) act(() => page.setCorrelationsFromAlpha(answer[0]));
            }
            if (item.dataset.action === "reliability") {
                const answer = await ask("Reliability (0 to 1):", options.reliability);
                if (answer) act(() => page.setReliability(answer[0]));
            }
            if (item.dataset.action === "beta") {
                const answer = await ask("Beta Paramters: Low", String(options.betaLow), String(options.betaHigh));
                if (answer) act(() => page.setBetaPair(answer[0], answer[1]));
            }
        });
    }
    for (const tick of document.querySelectorAll("[data-option]")) {
        tick.addEventListener("change", () => act(() => page.toggleOption(tick.dataset.option)));
    }
    const scaleScore = document.getElementById("scale_score");
    scaleScore.addEventListener("change", () => act(() => page.setScaleScore(Number(scaleScore.value))));

    const openFile = document.getElementById("open_file");
    document.getElementById("menu_open").addEventListener("click", () => openFile.click());
    openFile.addEventListener("change", async () => {
        const file = openFile.files[0];
        if (!file) return;
        const text = new TextDecoder("latin1").decode(await file.arrayBuffer());
        act(() => page.openParametersText(text));
        openFile.value = "";
    });

    // Generate: the four files, shown in the viewer and offered as downloads.
    const viewerText = document.getElementById("viewer_text");
    function generate() {
        let written = [];
        act(() => { written = JSON.parse(page.generate(document.getElementById("txt_datafile").value + ".csv")); });
        if (written.length === 0) return;
        document.getElementById("viewer").hidden = false;
        showText(0);
        const downloads = document.getElementById("downloads");
        downloads.replaceChildren("Download: ");
        for (const name of written) downloads.append(download(name, zek.FS.readFile(name)), " ");
    }
    // The plot page as SVG: each histogram under its population curve, each pair of
    // variables as points, each table's categories as asked and got.
    const SVG = "http://www.w3.org/2000/svg";
    function svg(tag, attributes = {}, text) {
        const made = document.createElementNS(SVG, tag);
        for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
        if (text !== undefined) made.textContent = text;
        return made;
    }
    function panel(title, subtitle, draw) {
        const [width, height, left, top, bottom] = [300, 190, 30, 34, 22];
        const picture = svg("svg", { width, height, viewBox: `0 0 ${width} ${height}`, class: "panel" });
        picture.append(svg("text", { x: width / 2, y: 13, "text-anchor": "middle", class: "title" }, title));
        picture.append(svg("text", { x: width / 2, y: 27, "text-anchor": "middle", class: "subtitle" }, subtitle));
        picture.append(svg("rect", { x: left, y: top, width: width - left - 6, height: height - top - bottom, class: "frame" }));
        draw(picture, { x: left, y: top, width: width - left - 6, height: height - top - bottom });
        return picture;
    }
    function fixed(value, places = 2) {
        return value === null ? "-" : value.toFixed(places);
    }
    function drawPlots() {
        const plots = JSON.parse(page.plotsJson());
        const model = JSON.parse(page.modelJson());
        const area = document.getElementById("plots");
        area.replaceChildren();
        for (const histogram of plots.histograms ?? []) {
            const caption = model.boxes[histogram.box - 1].caption;
            area.append(panel(caption, `N ${histogram.present}, mean asked ${fixed(histogram.requestedMean)}, got ${fixed(histogram.actualMean)}`,
                (picture, frame) => {
                    const bins = histogram.counts.length;
                    const high = Math.max(1, ...histogram.counts, ...histogram.curve.map((p) => p[1]));
                    const barWidth = frame.width / Math.max(1, bins);
                    histogram.counts.forEach((count, k) => picture.append(svg("rect", {
                        x: frame.x + k * barWidth, y: frame.y + frame.height * (1 - count / high),
                        width: Math.max(1, barWidth - 1), height: frame.height * count / high, class: "bar" })));
                    const span = histogram.binWidth * bins;
                    const points = histogram.curve.map(([score, count]) =>
                        `${frame.x + frame.width * (score - histogram.low) / span},${frame.y + frame.height * (1 - count / high)}`);
                    picture.append(svg("polyline", { points: points.join(" "), class: "curve" }));
                    picture.append(svg("text", { x: frame.x, y: frame.y + frame.height + 14, class: "axis" }, fixed(histogram.low)));
                    picture.append(svg("text", { x: frame.x + frame.width, y: frame.y + frame.height + 14, "text-anchor": "end", class: "axis" },
                                       fixed(histogram.low + span)));
                }));
        }
        for (const scatter of plots.scatter ?? []) {
            area.append(panel(`V${scatter.x + 1} and V${scatter.y + 1}`, `r asked ${fixed(scatter.requestedR)}, got ${fixed(scatter.actualR)}`,
                (picture, frame) => {
                    const xs = scatter.points.map((p) => p[0]);
                    const ys = scatter.points.map((p) => p[1]);
                    const [xLow, xHigh, yLow, yHigh] = [Math.min(...xs), Math.max(...xs), Math.min(...ys), Math.max(...ys)];
                    for (const [x, y] of scatter.points) {
                        picture.append(svg("circle", { cx: frame.x + frame.width * (x - xLow) / ((xHigh - xLow) || 1),
                                                       cy: frame.y + frame.height * (1 - (y - yLow) / ((yHigh - yLow) || 1)),
                                                       r: 1.5, class: "point" }));
                    }
                }));
        }
        for (const bars of plots.bars ?? []) {
            area.append(panel(bars.label || "Categories", "percent asked (light) and got (dark)", (picture, frame) => {
                const high = Math.max(1, ...bars.asked, ...bars.actual.map((v) => v ?? 0));
                const slot = frame.width / bars.categories.length;
                bars.categories.forEach((category, k) => {
                    for (const [index, value] of [bars.asked[k], bars.actual[k] ?? 0].entries()) {
                        picture.append(svg("rect", { x: frame.x + k * slot + 4 + index * (slot - 8) / 2,
                                                     y: frame.y + frame.height * (1 - value / high),
                                                     width: (slot - 8) / 2 - 1, height: frame.height * value / high,
                                                     class: index === 0 ? "asked" : "bar" }));
                    }
                    picture.append(svg("text", { x: frame.x + (k + 0.5) * slot, y: frame.y + frame.height + 14,
                                                 "text-anchor": "middle", class: "axis" }, category));
                });
            }));
        }
    }
    function showText(mode) {
        document.getElementById("plots").hidden = true;
        viewerText.hidden = false;
        viewerText.textContent = page.viewerText(mode);
    }
    document.getElementById("view_plots").addEventListener("click", () => {
        viewerText.hidden = true;
        document.getElementById("plots").hidden = false;
        act(drawPlots);
    });

    // A class set: every dataset's files and the class key in one .zip.
    async function generateClassSet() {
        const dialog = document.getElementById("classset");
        document.getElementById("txt_firstseed").value = page.offeredClassSetSeed();
        // The figures the quiz can ask are the last run's.
        const figures = document.getElementById("lst_quizfigures");
        const ticked = new Set([...figures.querySelectorAll("input:checked")].map((box) => box.value));
        figures.replaceChildren(...JSON.parse(page.keyFigureNames()).map((name) => {
            const box = Object.assign(document.createElement("input"),
                                      { type: "checkbox", value: name, checked: ticked.has(name) });
            const label = document.createElement("label");
            label.append(box, ` ${name}`);
            return label;
        }));
        if (figures.children.length === 0) figures.textContent = "Generate once to choose the figures.";
        dialog.showModal();
        await new Promise((resolve) => dialog.addEventListener("close", resolve, { once: true }));
        if (dialog.returnValue !== "ok") return;
        const name = document.getElementById("txt_setname").value;
        const rosterFile = document.getElementById("txt_roster").files[0];
        const roster = rosterFile ? new TextDecoder("utf-8").decode(await rosterFile.arrayBuffer()) : "";
        const chosen = [...figures.querySelectorAll("input:checked")].map((box) => box.value);
        let written = [];
        act(() => {
            written = JSON.parse(page.generateClassSet(
                Number(document.getElementById("txt_students").value),
                document.getElementById("txt_firstseed").value, `${name}.csv`, roster,
                document.getElementById("chk_handouts").checked,
                document.getElementById("chk_moodle").checked,
                document.getElementById("txt_instructions").value, chosen.join(","),
                Number(document.getElementById("spn_quizdigits").value)));
        });
        if (written.length === 0) return;
        const archive = zipStored(written.map((file) => [file.split("/").pop(), zek.FS.readFile(file)]));
        const downloads = document.getElementById("downloads");
        document.getElementById("viewer").hidden = false;
        downloads.replaceChildren("Download: ", download(`${name}.zip`, archive));
        viewerText.textContent = `${written.length} files of the class set:\n` +
            written.map((file) => file.split("/").pop()).join("\n");
    }
    document.getElementById("btn_classset").addEventListener("click", generateClassSet);

    document.getElementById("btn_run").addEventListener("click", generate);
    document.getElementById("view_both").addEventListener("click", () => showText(0));
    document.getElementById("view_info").addEventListener("click", () => showText(1));
    document.getElementById("view_data").addEventListener("click", () => showText(2));
    document.addEventListener("keydown", (event) => {
        if (event.key === "F9") {
            event.preventDefault();
            generate();
        }
        if (event.key === "F10") {
            event.preventDefault();
            act(() => page.copyCellOneToAllCells());
        }
    });

    render();
    document.body.classList.add("ready");
}

start();
