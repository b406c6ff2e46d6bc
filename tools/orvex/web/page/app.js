// The orvex web viewer: files under the served folder, the resources of the chosen module,
// and a preview by kind. The address's hash names file, type and name, so views can be
// linked and reloaded.
"use strict";

const TEXT_TYPES = new Set(["4", "6", "9", "11", "16", "23", "24", "HTML", "MANIFEST"]);
const PICTURE_TYPES = new Set(["1", "2", "3", "12", "14"]);
const TYPE_NAMES = { "1": "cursor", "2": "bitmap", "3": "icon", "12": "group cursor", "14": "group icon" };
const HEX_ROW = 16, HEX_PAGE = 4096, ROW_HEIGHT = 18;

const state = { dir: "", file: "", type: "", name: "" };
const $ = (id) => document.getElementById(id);

function api(path, params) {
  return "/api/" + path + "?" + new URLSearchParams(params).toString();
}

async function json(url) {
  const response = await fetch(url);
  const body = await response.json();
  if (!response.ok) throw new Error(body.error || response.statusText);
  return body;
}

function element(tag, props = {}, ...children) {
  const e = document.createElement(tag);
  Object.assign(e, props);
  for (const c of children) e.append(c);
  return e;
}

function writeHash() {
  const params = new URLSearchParams();
  for (const key of ["dir", "file", "type", "name"]) if (state[key]) params.set(key, state[key]);
  history.replaceState(null, "", "#" + params.toString());
}

function readHash() {
  const params = new URLSearchParams(location.hash.slice(1));
  for (const key of ["dir", "file", "type", "name"]) state[key] = params.get(key) || "";
}

async function showFiles() {
  const list = $("file-list");
  list.replaceChildren();
  let body;
  try {
    body = await json(api("files", { dir: state.dir }));
  } catch (e) {
    list.append(element("li", { className: "error", textContent: e.message }));
    return;
  }
  $("where").textContent = "/" + body.dir;
  if (body.dir) {
    const up = body.dir.split("/").slice(0, -1).join("/");
    list.append(element("li", { className: "dir", textContent: "..", onclick: () => openDir(up) }));
  }
  for (const entry of body.entries) {
    const path = (body.dir ? body.dir + "/" : "") + entry.name;
    const li = element("li", { textContent: entry.name, title: path });
    li.dataset.name = entry.name.toLowerCase();
    if (entry.type === "dir") {
      li.className = "dir";
      li.onclick = () => openDir(path);
    } else if (entry.pe) {
      li.className = "pe";
      li.onclick = () => openFile(path);
    } else {
      li.className = "other";
    }
    list.append(li);
  }
  applyFilter();
}

function applyFilter() {
  const text = $("filter").value.toLowerCase();
  for (const li of $("file-list").children) {
    li.hidden = Boolean(text) && li.dataset.name !== undefined && !li.dataset.name.includes(text);
  }
}

function openDir(dir) {
  state.dir = dir;
  writeHash();
  showFiles();
}

// The TYPE to name a type by: its number, or the name of a named type.
function typeArgument(type) {
  return String(type.Type);
}

function nameArgument(item) {
  return /^[0-9]+$/.test(item.NameLong) ? "#" + item.NameLong : item.NameLong;
}

async function openFile(file, keepSelection = false) {
  state.file = file;
  if (!keepSelection) state.type = state.name = "";
  writeHash();
  const tree = $("tree");
  tree.replaceChildren(element("p", { className: "hint", textContent: "Reading " + file + "…" }));
  let listing;
  try {
    listing = await json(api("list", { file }));
  } catch (e) {
    tree.replaceChildren(element("p", { className: "error", textContent: e.message }));
    return;
  }
  tree.replaceChildren(element("p", { className: "hint", textContent: file }));
  for (const type of listing.types) {
    const typeArg = typeArgument(type);
    const ul = element("ul");
    for (const item of type.ResourceItems) {
      const nameArg = nameArgument(item);
      const li = element("li", {},
        element("span", { textContent: item.NameLong + (item.Comments ? " (" + item.Comments + ")" : "") }),
        element("span", { className: "size",
          textContent: item.truncated ? "beyond the end of the file" : item.Size + " B" }));
      li.dataset.type = typeArg;
      li.dataset.name = nameArg;
      li.tabIndex = -1;
      li.onclick = () => select(li);
      ul.append(li);
    }
    tree.append(element("div", { className: "type" },
      element("div", { textContent: type.NameLong + (type.Comments ? " — " + type.Comments : "") }), ul));
  }
  if (keepSelection && state.type) {
    const match = [...tree.querySelectorAll("li")].find(
      (li) => li.dataset.type === state.type && li.dataset.name === state.name);
    if (match) select(match);
  }
}

function select(li) {
  for (const other of $("tree").querySelectorAll("li.selected")) other.classList.remove("selected");
  li.classList.add("selected");
  li.focus();
  state.type = li.dataset.type;
  state.name = li.dataset.name;
  writeHash();
  showPreview();
}

// Up and down move through the names; Home and End jump to the ends.
$("tree").addEventListener("keydown", (event) => {
  const items = [...$("tree").querySelectorAll("li")];
  if (!items.length) return;
  const at = items.findIndex((li) => li.classList.contains("selected"));
  let next = null;
  if (event.key === "ArrowDown") next = items[Math.min(at + 1, items.length - 1)];
  if (event.key === "ArrowUp") next = items[Math.max(at - 1, 0)];
  if (event.key === "Home") next = items[0];
  if (event.key === "End") next = items[items.length - 1];
  if (next) {
    event.preventDefault();
    select(next);
  }
});

function resourceUrl(as, extra = {}) {
  return api("resource", { file: state.file, type: state.type, name: state.name, as, ...extra });
}

function download(label, url, fileName) {
  return element("a", { href: url, textContent: label, download: fileName || "" });
}

async function showPreview() {
  const preview = $("preview");
  const base = state.file.split("/").pop() + "_" + state.type + "_" + state.name.replace("#", "");
  const tabs = element("div", { className: "toolbar" },
    element("strong", { textContent: state.type + " / " + state.name }),
    element("button", { textContent: "Hex", onclick: () => showHex(body) }),
    download("Raw bytes", resourceUrl("raw"), base + ".bin"));
  const body = element("div");
  preview.replaceChildren(tabs, body);
  try {
    if (TEXT_TYPES.has(state.type)) await showText(body);
    else if (PICTURE_TYPES.has(state.type)) await showPicture(body, base);
    else if (state.type === "5") await showDialog(body, base);
    else if (state.type.toUpperCase() === "AVI") await showClip(body);
    else if (state.type.toUpperCase() === "WAV" || state.type.toUpperCase() === "WAVE")
      body.append(element("audio", { controls: true, src: resourceUrl("raw") }));
    else await showHex(body);
  } catch (e) {
    body.replaceChildren(element("p", { className: "error", textContent: e.message }));
  }
}

async function fetchOk(url) {
  const response = await fetch(url);
  if (!response.ok) {
    let message = response.statusText;
    try { message = (await response.json()).error; } catch (e) { /* not JSON */ }
    throw new Error(message);
  }
  return response;
}

// An AVI clip: its frames shown one after another at the clip's rate, looping.
async function showClip(body) {
  const clip = await (await fetchOk(resourceUrl("frames"))).json();
  const img = element("img", { className: "clip", alt: "clip " + state.name });
  let frame = 0;
  const show = () => { img.src = clip.frames[frame]; img.dataset.frame = frame; };
  show();
  const period = Math.max(clip.microsecondsPerFrame / 1000, 20);
  const timer = setInterval(() => {
    if (!img.isConnected) { clearInterval(timer); return; }
    frame = (frame + 1) % clip.frames.length;
    show();
  }, period);
  body.replaceChildren(element("p", { className: "info", textContent:
    clip.width + " × " + clip.height + " pixels, " + clip.frames.length + " frames, " +
    Math.round(1e6 / Math.max(clip.microsecondsPerFrame, 1)) + " frames a second" }), img);
}

async function showText(body) {
  const text = await (await fetchOk(resourceUrl("text"))).text();
  body.replaceChildren(element("pre", { className: "text", textContent: text }));
}

async function showPicture(body, base) {
  const blob = await (await fetchOk(resourceUrl("png"))).blob();
  const img = element("img", { src: URL.createObjectURL(blob), alt: state.type + " " + state.name });
  await img.decode();
  const w = img.naturalWidth, h = img.naturalHeight;
  const himetric = (p) => Math.round(p * 2540 / 96);
  body.replaceChildren(element("div", { className: "picture" },
    element("p", { className: "info", textContent:
      (TYPE_NAMES[state.type] || "picture") + ", " + w + " × " + h + " pixels, " +
      himetric(w) + " × " + himetric(h) + " HiMetric" }),
    img,
    element("p", {}, download("PNG", img.src, base + ".png"))));
}

async function showDialog(body, base) {
  const svgText = await (await fetchOk(resourceUrl("svg"))).text();
  const holder = element("div", { className: "dialog" });
  holder.innerHTML = svgText;
  const svg = holder.querySelector("svg");
  const zoom = element("input", { type: "range", min: "0.5", max: "4", step: "0.25", value: "1" });
  zoom.setAttribute("aria-label", "Zoom");
  zoom.oninput = () => { svg.style.transform = "scale(" + zoom.value + ")"; };
  body.replaceChildren(element("div", { className: "toolbar" }, "Zoom", zoom,
    download("PNG", resourceUrl("png"), base + ".png")), holder);
}

// A hex view over every byte, fetched a page at a time as rows scroll into view.
async function showHex(body) {
  const size = await resourceSize();
  const view = element("div", { className: "hex" });
  const spacer = element("div", { className: "spacer" });
  const rows = Math.ceil(size / HEX_ROW);
  spacer.style.height = rows * ROW_HEIGHT + "px";
  view.append(spacer);
  body.replaceChildren(element("p", { textContent: size + " bytes" }), view);
  const pages = new Map();
  const page = (n) => {
    if (!pages.has(n)) {
      pages.set(n, fetchOk(resourceUrl("raw", { offset: n * HEX_PAGE, length: HEX_PAGE }))
        .then((r) => r.arrayBuffer()).then((b) => new Uint8Array(b)));
    }
    return pages.get(n);
  };
  const render = async () => {
    const first = Math.floor(view.scrollTop / ROW_HEIGHT);
    const count = Math.ceil(view.clientHeight / ROW_HEIGHT) + 1;
    const drawn = [];
    for (let row = first; row < Math.min(first + count, rows); row++) {
      const offset = row * HEX_ROW;
      const bytes = await page(Math.floor(offset / HEX_PAGE));
      const start = offset % HEX_PAGE;
      const slice = bytes.slice(start, start + HEX_ROW);
      const hex = [...slice].map((b) => b.toString(16).padStart(2, "0")).join(" ");
      const chars = [...slice].map((b) => (b >= 32 && b < 127 ? String.fromCharCode(b) : ".")).join("");
      const line = element("div", { className: "row", textContent:
        offset.toString(16).padStart(8, "0") + "  " + hex.padEnd(HEX_ROW * 3) + " " + chars });
      line.style.top = row * ROW_HEIGHT + "px";
      line.dataset.offset = offset;
      drawn.push(line);
    }
    spacer.replaceChildren(...drawn);
  };
  view.onscroll = () => render();
  await render();
}

async function resourceSize() {
  const listing = await json(api("list", { file: state.file }));
  for (const type of listing.types) {
    const typeArg = typeArgument(type);
    if (typeArg !== state.type) continue;
    for (const item of type.ResourceItems) if (nameArgument(item) === state.name) return item.Size;
  }
  return 0;
}

$("filter").addEventListener("input", applyFilter);
readHash();
showFiles();
if (state.file) openFile(state.file, true);
