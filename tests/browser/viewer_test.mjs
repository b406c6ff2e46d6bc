// The web viewer in Debian's chromium, driven by playwright-core: the page on the fixture
// modules of tests/fixtures/rc (copied to a folder of their own with the extra modules
// named) — a string table's text, an icon decoded at its pixel size, a dialog's SVG with its
// texts, a hex view scrolled to the end, a raw download compared byte for byte, a deep link,
// keyboard moves in the file list and the tree, history and the address followed, collapsible
// types, long names, languages chosen, both picture downloads, sounds that play. A screenshot of each view goes to the artifact folder.
// Exit status 77 (skipped) when playwright-core or chromium is missing.
//
//   node viewer_test.mjs ORVEX_BINARY FIXTURE_DIR ARTIFACT_DIR [EXTRA_MODULE...]
import { spawn, execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";

const [orvex, fixtures, artifacts, ...extras] = process.argv.slice(2);
const chromiumPath = ["/usr/bin/chromium", "/usr/bin/chromium-browser"].find(existsSync);
let chromium;
try {
  ({ chromium } = await import("playwright-core"));
} catch (e) {
  console.log("skipped: playwright-core is not installed (npm ci in tests/browser)");
  process.exit(77);
}
if (!chromiumPath) {
  console.log("skipped: no chromium");
  process.exit(77);
}
mkdirSync(artifacts, { recursive: true });

// The folder served: the fixture modules, a copy with a long name, and the extra modules
// that exist (the sample module with its PCM sound; Wine's winecfg.exe with its IMA ADPCM
// one, when Wine is installed).
const served = mkdtempSync(join(tmpdir(), "orvex-viewer-"));
for (const name of readdirSync(fixtures).filter((n) => n.endsWith(".dll")))
  copyFileSync(join(fixtures, name), join(served, name));
const LONG_NAME = "a_module_whose_name_is_much_longer_than_the_file_list_is_wide.dll";
copyFileSync(join(fixtures, "text.dll"), join(served, LONG_NAME));
for (const extra of extras.filter(existsSync)) copyFileSync(extra, join(served, basename(extra)));

function check(condition, message) {
  if (!condition) throw new Error("failed: " + message);
  console.log("ok: " + message);
}

// The server on a free port; its first line names the address.
const server = spawn(orvex, ["serve", served, "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
const base = await new Promise((resolve, reject) => {
  let out = "";
  server.stdout.on("data", (chunk) => {
    out += chunk;
    const match = out.match(/at (http:\/\/[^\s]+)/);
    if (match) resolve(match[1]);
  });
  server.on("exit", (code) => reject(new Error("orvex serve exited with " + code)));
  setTimeout(() => reject(new Error("orvex serve did not start")), 10000);
});

const browser = await chromium.launch({ executablePath: chromiumPath, args: ["--no-sandbox"] });
let failed = false;
try {
  const context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1280, height: 800 } });
  const page = await context.newPage();
  page.setDefaultTimeout(15000);
  await page.goto(base);

  // A string table as text.
  await page.locator("#file-list li", { hasText: "text.dll" }).click();
  await page.locator('#tree li[data-type="6"]').first().click();
  await page.locator("#preview pre.text").waitFor();
  check((await page.locator("#preview pre.text").textContent()).includes("Hello"),
    "the string table shows its text");
  await page.screenshot({ path: join(artifacts, "string_table.png") });

  // The filter box hides the other files.
  await page.fill("#filter", "images");
  check(await page.locator("#file-list li:visible", { hasText: "text.dll" }).count() === 0,
    "the filter hides non-matching files");
  await page.fill("#filter", "");

  // An icon, decoded at its pixel size.
  await page.locator("#file-list li", { hasText: "images.dll" }).click();
  await page.locator('#tree li[data-type="14"][data-name="#201"]').click();
  const img = page.locator("#preview .picture img");
  await img.waitFor();
  const size = await img.evaluate((e) => [e.naturalWidth, e.naturalHeight, e.complete]);
  check(size[2] && size[0] > 0 && size[0] === size[1], "the icon decodes (" + size[0] + "×" + size[1] + ")");
  check((await page.locator("#preview .info").textContent()).includes(size[0] + " × " + size[1] + " pixels"),
    "the icon's pixel size is shown");
  await page.screenshot({ path: join(artifacts, "icon.png") });

  // Keyboard: ArrowDown moves to the next name.
  await page.keyboard.press("ArrowDown");
  check((await page.evaluate(() => location.hash)).includes("name=%23202"), "ArrowDown selects the next name");

  // A dialog as SVG with its texts.
  await page.locator("#file-list li", { hasText: "dialogs.dll" }).click();
  await page.locator('#tree li[data-type="5"][data-name="#101"]').click();
  await page.locator("#preview .dialog svg").waitFor();
  const texts = await page.locator("#preview .dialog svg text").allTextContents();
  check(texts.includes("Fixture Pop-up") && texts.includes("Cancel"), "the dialog's SVG carries its texts");
  await page.locator("#preview input[type=range]").fill("2");
  await page.screenshot({ path: join(artifacts, "dialog.png") });

  // The hex view of a bitmap, scrolled to its last row.
  await page.locator("#file-list li", { hasText: "images.dll" }).click();
  await page.locator('#tree li[data-type="3"][data-name="#2"]').click();
  await page.locator("#preview button", { hasText: "Hex" }).click();
  const hex = page.locator("#preview .hex");
  await hex.waitFor();
  await hex.evaluate((e) => { e.scrollTop = e.scrollHeight; });
  const lastOffset = 4264 - (4264 % 16 || 16);
  await page.locator(`#preview .hex .row[data-offset="${lastOffset}"]`).waitFor();
  check(true, "the hex view reaches the last row at offset " + lastOffset);
  await page.screenshot({ path: join(artifacts, "hex.png") });

  // A raw download equals the resource's bytes as `orvex data` gives them.
  const [download] = await Promise.all([
    page.waitForEvent("download"),
    page.locator("#preview a", { hasText: "Raw bytes" }).click(),
  ]);
  const saved = join(artifacts, "raw_icon.bin");
  await download.saveAs(saved);
  const expected = execFileSync(orvex, ["data", join(fixtures, "images.dll"), "3", "#2"]);
  check(Buffer.compare(readFileSync(saved), expected) === 0, "the raw download equals the resource's bytes");

  // A deep link opens file, type and name.
  const fresh = await context.newPage();
  await fresh.goto(base + "#file=dialogs.dll&type=5&name=%23104");
  await fresh.locator("#preview .dialog svg").waitFor();
  check((await fresh.locator("#preview .dialog svg text").allTextContents()).includes("Child Caption"),
    "a deep link shows its dialog");
  await fresh.screenshot({ path: join(artifacts, "deep_link.png") });

  // The file list by keyboard: Tab from the filter reaches it; arrows and Enter open a module;
  // in the filter, ArrowDown and Enter open the first match.
  const keys = await context.newPage();
  await keys.goto(base);
  await keys.locator("#file-list li.pe").first().waitFor();
  await keys.focus("#filter");
  await keys.keyboard.press("Tab");
  check(await keys.evaluate(() => document.activeElement.id) === "file-list", "Tab from the filter reaches the file list");
  const firstModule = await keys.locator("#file-list li.pe").first().getAttribute("data-path");
  await keys.keyboard.press("ArrowDown");
  await keys.keyboard.press("ArrowUp");
  await keys.keyboard.press("Enter");
  await keys.waitForFunction((f) => location.hash.includes("file=" + encodeURIComponent(f)), firstModule);
  check(true, "arrows and Enter in the file list open " + firstModule);
  check(await keys.locator("#where").textContent() === firstModule, "the header names the module, not the folder");
  await keys.fill("#filter", "dialogs");
  await keys.keyboard.press("ArrowDown");
  await keys.keyboard.press("Enter");
  await keys.locator('#tree li[data-type="5"]').first().waitFor();
  check((await keys.evaluate(() => location.hash)).includes("file=dialogs.dll"), "ArrowDown and Enter in the filter open the match");

  // History: each view is an entry; Back returns to the resource viewed before.
  await keys.locator('#tree li[data-type="5"][data-name="#101"]').click();
  await keys.locator("#preview .dialog svg").waitFor();
  await keys.locator('#tree li[data-type="5"][data-name="#104"]').click();
  await keys.waitForFunction(() => location.hash.includes("name=%23104"));
  await keys.goBack();
  await keys.waitForFunction(() => location.hash.includes("name=%23101"));
  await keys.locator('#tree li.selected[data-name="#101"]').waitFor();
  await keys.locator("#preview .dialog svg").waitFor();
  check((await keys.locator("#preview .dialog svg text").allTextContents()).includes("Fixture Pop-up"),
    "Back shows the resource viewed before");

  // The hash edited in an open tab: the view follows.
  await keys.evaluate(() => { location.hash = "#file=text.dll&type=6&name=%231"; });
  await keys.locator("#preview pre.text").waitFor();
  check((await keys.locator("#preview pre.text").textContent()).includes("Hello"), "an edited hash shows its resource");
  await keys.evaluate(() => { location.hash = "#file=text.dll&type=6&name=%23999"; });
  await keys.locator("#preview .missing").waitFor();
  check((await keys.locator("#preview .missing").textContent()).includes("No resource #999 of type 6 in text.dll"),
    "a link to a missing resource says it is missing");

  // Types collapse, with their counts.
  await keys.evaluate(() => { location.hash = "#file=images.dll"; });
  const iconType = keys.locator('#tree details[data-type="3"]');
  await iconType.waitFor();
  const count = Number(await iconType.locator("summary .count").textContent());
  check(count > 0 && count === await iconType.locator("li").count(), "a type shows the count of its names (" + count + ")");
  await iconType.locator("summary").click();
  check(!(await iconType.evaluate((e) => e.open)) && await iconType.locator("li:visible").count() === 0,
    "a type collapses");
  await iconType.locator("summary").click();

  // Home and End select and scroll into view in a short window.
  await keys.setViewportSize({ width: 1280, height: 220 });
  await keys.locator("#tree li").first().click();
  await keys.keyboard.press("End");
  const inView = (selector) => keys.locator(selector).evaluate((li) => {
    const tree = document.getElementById("tree").getBoundingClientRect(), box = li.getBoundingClientRect();
    return box.top >= tree.top - 1 && box.bottom <= tree.bottom + 1;
  });
  check(await inView("#tree li.selected") && await keys.locator("#tree li").last().evaluate((li) => li.classList.contains("selected")),
    "End selects the last name and scrolls it into view");
  await keys.keyboard.press("Home");
  check(await inView("#tree li.selected") && await keys.locator("#tree li").first().evaluate((li) => li.classList.contains("selected")),
    "Home selects the first name and scrolls it into view");
  await keys.setViewportSize({ width: 1280, height: 800 });

  // A long name is cut with an ellipsis and shown whole as a tooltip.
  await keys.fill("#filter", "");
  const long = keys.locator("#file-list li", { hasText: LONG_NAME });
  const cut = await long.evaluate((li) => [li.scrollWidth > li.clientWidth, getComputedStyle(li).textOverflow, li.title]);
  check(cut[0] && cut[1] === "ellipsis" && cut[2] === LONG_NAME, "a long name is cut with an ellipsis and has a tooltip");
  await keys.screenshot({ path: join(artifacts, "keyboard_and_history.png") });

  // Languages: the tree lists each resource's languages, and the chooser reads the one chosen
  // (kept in the address, so the view reloads in it).
  await keys.evaluate(() => { location.hash = "#file=languages.dll&type=6&name=%231"; });
  await keys.locator("#preview pre.text").waitFor();
  check((await keys.locator("#preview pre.text").textContent()).includes("en-US"), "the default language shows first");
  check(await keys.locator('#tree li[data-type="6"][data-name="#1"] .lang').textContent() === "0407 0409 040C 0411 0C07",
    "the tree lists a resource's languages");
  await keys.locator("#preview select.lang-chooser").selectOption("0C07");
  await keys.waitForFunction(() => location.hash.includes("lang=0C07"));
  await keys.waitForFunction(() => (document.querySelector("#preview pre.text") || {}).textContent?.includes("de-AT"));
  check(true, "the chooser reads the string table in Austrian German");
  await keys.reload();
  await keys.waitForFunction(() => (document.querySelector("#preview pre.text") || {}).textContent?.includes("de-AT"));
  check(await keys.locator("#preview select.lang-chooser").inputValue() === "0C07", "a reload keeps the language");
  await keys.screenshot({ path: join(artifacts, "languages.png") });
  await keys.locator("#preview select.lang-chooser").selectOption("");
  await keys.waitForFunction(() => !location.hash.includes("lang="));

  // A picture downloads as GetPicture gives it and in its stored colours.
  await keys.evaluate(() => { location.hash = "#file=images.dll&type=14&name=%23201"; });
  await keys.locator("#preview .picture img").waitFor();
  const [storedDownload] = await Promise.all([
    keys.waitForEvent("download"),
    keys.locator("#preview a", { hasText: "stored colours" }).click(),
  ]);
  const storedPng = join(artifacts, "stored_icon.png");
  await storedDownload.saveAs(storedPng);
  check(readFileSync(storedPng).subarray(1, 4).toString() === "PNG" &&
        await keys.locator("#preview a", { hasText: "as GetPicture gives it" }).count() === 1,
    "a picture offers both downloads, the stored colours as a PNG");

  // Sounds play: the sample's PCM one, and Wine's IMA ADPCM one when Wine is installed.
  const sounds = [["sample.dll", "WAV", "#1"], ["winecfg.exe", "WAVE", "#1308"]];
  for (const [file, type, name] of sounds) {
    if (!existsSync(join(served, file))) {
      console.log("skipped: no " + file);
      continue;
    }
    await keys.evaluate(([f, t, n]) => {
      location.hash = new URLSearchParams({ file: f, type: t, name: n }).toString();
    }, [file, type, name]);
    const audio = keys.locator("#preview audio");
    await audio.waitFor();
    const played = await audio.evaluate((a) => new Promise((resolve) => {
      if (a.readyState >= 1) resolve([a.duration, null]);
      a.onloadedmetadata = () => resolve([a.duration, null]);
      a.addEventListener("error", () => resolve([0, a.error && a.error.message]));
    }));
    check(played[0] > 0, file + " " + name + " plays in the browser (" + played[0].toFixed(2) + " s)");
  }
  await keys.screenshot({ path: join(artifacts, "sound.png") });
} catch (e) {
  console.error(e.message);
  failed = true;
} finally {
  await browser.close();
  server.kill();
  rmSync(served, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
