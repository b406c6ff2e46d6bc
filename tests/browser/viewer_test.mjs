// The web viewer in Debian's chromium, driven by playwright-core: the page on the fixture
// modules of tests/fixtures/rc — a string table's text, an icon decoded at its pixel size, a
// dialog's SVG with its texts, a hex view scrolled to the end, a raw download compared byte
// for byte, a deep link, keyboard moves in the tree. A screenshot of each view goes to the
// artifact folder. Exit status 77 (skipped) when playwright-core or chromium is missing.
//
//   node viewer_test.mjs ORVEX_BINARY FIXTURE_DIR ARTIFACT_DIR
import { spawn, execFileSync } from "node:child_process";
import { existsSync, mkdirSync, readFileSync } from "node:fs";
import { join } from "node:path";

const [orvex, fixtures, artifacts] = process.argv.slice(2);
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

function check(condition, message) {
  if (!condition) throw new Error("failed: " + message);
  console.log("ok: " + message);
}

// The server on a free port; its first line names the address.
const server = spawn(orvex, ["serve", fixtures, "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
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
} catch (e) {
  console.error(e.message);
  failed = true;
} finally {
  await browser.close();
  server.kill();
}
process.exit(failed ? 1 : 0);
