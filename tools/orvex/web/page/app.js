// The orvex web viewer: files under the served folder, the resources of the chosen module,
// and a preview by kind. The address's hash names folder, file, type, name and the language
// chosen (lang, the UI language the server reads resources in): each view
// the user opens is a history entry, and the page follows the address when it changes
// (Back, Forward, or the hash edited), so views can be linked, reloaded and gone back to.
"use strict";

const TEXT_TYPES = new Set(["4", "6", "9", "11", "16", "23", "24", "HTML", "MANIFEST"]);
const PICTURE_TYPES = new Set(["1", "2", "3", "12", "14"]);
const TYPE_NAMES = { "1": "cursor", "2": "bitmap", "3": "icon", "12": "group cursor", "14": "group icon" };
const HEX_ROW = 16, HEX_PAGE = 4096, ROW_HEIGHT = 18;

const VIEW_KEYS = ["dir", "file", "type", "name", "lang"];
const state = { dir: "", file: "", type: "", name: "", lang: "" };
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

function hashOf(view) {
  const params = new URLSearchParams();
  for (const key of VIEW_KEYS) if (view[key]) params.set(key, view[key]);
  return "#" + params.toString();
}

// A new view is a new history entry; a view that only completes the one shown replaces it.
function writeHash(push = true) {
  const hash = hashOf(state);
  if (hash === (location.hash || "#")) return;
  if (push) history.pushState(null, "", hash);
  else history.replaceState(null, "", hash);
}

function readHash() {
  const params = new URLSearchParams(location.hash.slice(1));
  const view = {};
  for (const key of VIEW_KEYS) view[key] = params.get(key) || "";
  return view;
}

// The header names the module shown, or the folder while no module is.
function showWhere() {
  $("where").textContent = state.file || "/" + state.dir;
  $("where").title = $("where").textContent;
}

// Shows what the address names, changing only what differs from the view shown.
async function followAddress() {
  const view = readHash();
  const dirChanged = view.dir !== state.dir;
  const fileChanged = view.file !== state.file;
  const keyChanged = view.type !== state.type || view.name !== state.name || view.lang !== state.lang;
  Object.assign(state, view);
  if (dirChanged) showFiles();
  if (fileChanged) {
    if (state.file) await openFile(state.file, { keepSelection: true, fromAddress: true });
    else {
      $("tree").replaceChildren(element("p", { className: "hint", textContent: "Choose a module." }));
      showPreviewHint();
    }
  } else if (keyChanged) {
    selectFromState();
  }
  showWhere();
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
  showWhere();
  const add = (li, open) => {
    li.id = "file-" + list.children.length;
    li.setAttribute("role", "option");
    if (open) {
      li.onclick = () => { setActiveFile(li); open(); };
      li.open = open;
    }
    list.append(li);
  };
  if (body.dir) {
    const up = body.dir.split("/").slice(0, -1).join("/");
    add(element("li", { className: "dir", textContent: "..", title: "The folder above" }), () => openDir(up));
  }
  for (const entry of body.entries) {
    const path = (body.dir ? body.dir + "/" : "") + entry.name;
    const li = element("li", { textContent: entry.name, title: path });
    li.dataset.name = entry.name.toLowerCase();
    li.dataset.path = path;
    if (entry.type === "dir") {
      li.className = "dir";
      add(li, () => openDir(path));
    } else if (entry.pe) {
      li.className = "pe";
      add(li, () => openFile(path));
    } else {
      li.className = "other";
      add(li, null);
    }
  }
  applyFilter();
}

// The file list is one tab stop: the active entry is marked (aria-activedescendant), arrows
// move it, Enter opens it; the same keys work in the filter box.
function openableFiles() {
  return [...$("file-list").children].filter((li) => !li.hidden && li.open);
}

function setActiveFile(li) {
  const list = $("file-list");
  for (const other of list.querySelectorAll("li.active")) other.classList.remove("active");
  if (!li) {
    list.removeAttribute("aria-activedescendant");
    return;
  }
  li.classList.add("active");
  list.setAttribute("aria-activedescendant", li.id);
  li.scrollIntoView({ block: "nearest" });
}

function fileListKey(event, inFilter) {
  const items = openableFiles();
  if (!items.length) return;
  const at = items.findIndex((li) => li.classList.contains("active"));
  let next = null;
  if (event.key === "ArrowDown") next = items[at < 0 ? 0 : Math.min(at + 1, items.length - 1)];
  if (event.key === "ArrowUp") next = items[Math.max(at - 1, 0)];
  if (!inFilter && event.key === "Home") next = items[0];
  if (!inFilter && event.key === "End") next = items[items.length - 1];
  if (next) {
    event.preventDefault();
    setActiveFile(next);
  } else if (event.key === "Enter" && (at >= 0 || inFilter)) {
    event.preventDefault();
    (items[at] || items[0]).open();
  }
}

function applyFilter() {
  const text = $("filter").value.toLowerCase();
  for (const li of $("file-list").children) {
    li.hidden = Boolean(text) && li.dataset.name !== undefined && !li.dataset.name.includes(text);
  }
  const active = $("file-list").querySelector("li.active");
  if (!active || active.hidden) setActiveFile(openableFiles()[0] || null);
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

// A language identifier as lang= and the address take it: four hex digits ("0407").
function languageText(id) {
  return id.toString(16).toUpperCase().padStart(4, "0");
}

// Types open as lists of their names; a module with many names shows its types closed.
const OPEN_TYPES_UP_TO = 200;

async function openFile(file, { keepSelection = false, fromAddress = false } = {}) {
  state.file = file;
  if (!keepSelection) state.type = state.name = "";
  if (!fromAddress) writeHash();
  showWhere();
  const tree = $("tree");
  tree.replaceChildren(element("p", { className: "hint", textContent: "Reading " + file + "…" }));
  showPreviewHint();
  let listing;
  try {
    listing = await json(api("list", { file }));
  } catch (e) {
    tree.replaceChildren(element("p", { className: "error", textContent: e.message }));
    return;
  }
  if (state.file !== file) return;  // another module was chosen meanwhile
  tree.replaceChildren();
  const total = listing.types.reduce((n, type) => n + type.ResourceItems.length, 0);
  for (const type of listing.types) {
    const typeArg = typeArgument(type);
    const ul = element("ul");
    for (const item of type.ResourceItems) {
      const nameArg = nameArgument(item);
      const label = item.NameLong + (item.Comments ? " (" + item.Comments + ")" : "");
      const languages = (item.languages || []).map(languageText);
      const li = element("li", { title: label + (languages.length ? " — languages " + languages.join(", ") : "") },
        element("span", { className: "name", textContent: label }),
        element("span", { className: "lang", textContent: languages.join(" ") }),
        element("span", { className: "size",
          textContent: item.truncated ? "beyond the end of the file" : item.Size + " B" }));
      li.dataset.type = typeArg;
      li.dataset.name = nameArg;
      li.dataset.languages = languages.join(" ");
      li.tabIndex = -1;
      li.onclick = () => select(li);
      ul.append(li);
    }
    const title = type.NameLong + (type.Comments ? " — " + type.Comments : "");
    const summary = element("summary", { title },
      element("span", { className: "name", textContent: title }),
      element("span", { className: "count", textContent: String(type.ResourceItems.length) }));
    const details = element("details", { className: "type", open: total <= OPEN_TYPES_UP_TO },
      summary, ul);
    details.dataset.type = typeArg;
    tree.append(details);
  }
  if (keepSelection && state.type) selectFromState();
}

// Selects the resource the state names, or says that the module has no such resource.
function selectFromState() {
  const match = [...$("tree").querySelectorAll("li")].find(
    (li) => li.dataset.type === state.type && li.dataset.name === state.name);
  if (match) return select(match, { fromAddress: true });
  for (const other of $("tree").querySelectorAll("li.selected")) other.classList.remove("selected");
  if (state.type || state.name) {
    $("preview").replaceChildren(element("p", { className: "error missing", textContent:
      "No resource " + state.name + " of type " + state.type + " in " + state.file + "." }));
  } else {
    showPreviewHint();
  }
}

function showPreviewHint() {
  $("preview").replaceChildren(element("p", { className: "hint", textContent: "Choose a resource." }));
}

function select(li, { fromAddress = false } = {}) {
  for (const other of $("tree").querySelectorAll("li.selected")) other.classList.remove("selected");
  li.classList.add("selected");
  li.closest("details").open = true;
  li.focus({ preventScroll: true });
  li.scrollIntoView({ block: "nearest" });
  state.type = li.dataset.type;
  state.name = li.dataset.name;
  if (!fromAddress) writeHash();
  showPreview(li.dataset.languages ? li.dataset.languages.split(" ") : []);
}

// Up and down move through the names of the open types; Home and End jump to the ends.
$("tree").addEventListener("keydown", (event) => {
  if (event.target.tagName === "SUMMARY" && event.key === "Enter") return;
  const items = [...$("tree").querySelectorAll("details[open] li")];
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
  const lang = state.lang ? { lang: state.lang } : {};
  return api("resource", { file: state.file, type: state.type, name: state.name, as, ...lang, ...extra });
}

// The language chooser: the languages the resource is stored in; the server reads the one
// chosen as the platform picks under that UI language (the default: the platform's own
// choice). A language chosen stays chosen from resource to resource, as a UI language does.
function languageChooser(languages) {
  const chooser = element("select", { className: "lang-chooser" });
  chooser.setAttribute("aria-label", "Language");
  chooser.append(element("option", { value: "", textContent: "Language: default" }));
  const shown = [...languages];
  if (state.lang && !shown.includes(state.lang)) shown.push(state.lang);
  for (const id of shown) {
    chooser.append(element("option", { value: id,
      textContent: id + (languages.includes(id) ? "" : " (not stored: the platform picks)") }));
  }
  chooser.value = state.lang;
  chooser.onchange = () => {
    state.lang = chooser.value;
    writeHash();
    showPreview(languages);
  };
  return chooser;
}

function download(label, url, fileName) {
  return element("a", { href: url, textContent: label, download: fileName || "" });
}

async function showPreview(languages = []) {
  const preview = $("preview");
  const base = state.file.split("/").pop() + "_" + state.type + "_" + state.name.replace("#", "") +
    (state.lang ? "_" + state.lang : "");
  const tabs = element("div", { className: "toolbar" },
    element("strong", { textContent: state.type + " / " + state.name }),
    languageChooser(languages),
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
      await showSound(body);
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

// A sound, decoded by the server to 16-bit PCM WAV (which every browser plays); what cannot
// be decoded or played says why instead of leaving a silent player.
async function showSound(body) {
  const wav = await (await fetchOk(resourceUrl("wav"))).arrayBuffer();
  const header = new DataView(wav);
  const channels = header.getUint16(22, true), rate = header.getUint32(24, true);
  const info = element("p", { className: "info", textContent:
    "sound, " + channels + (channels === 1 ? " channel, " : " channels, ") + rate + " Hz" });
  const audio = element("audio", { controls: true,
    src: URL.createObjectURL(new Blob([wav], { type: "audio/wav" })) });
  audio.onloadedmetadata = () => {
    info.textContent += ", " + audio.duration.toFixed(2) + " s";
  };
  audio.onerror = () => {
    body.append(element("p", { className: "error", textContent: "The browser cannot play this sound." }));
  };
  body.replaceChildren(info, audio,
    element("p", {}, download("WAV (16-bit PCM)", audio.src, state.name.replace("#", "") + ".wav")));
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
    // What GetPicture gives (a bitmap's greys mapped to the system's 3D colours) and the
    // resource's own colours.
    element("p", { className: "downloads" },
      download("PNG (as GetPicture gives it)", img.src, base + ".png"),
      download("PNG (stored colours)", resourceUrl("stored"), base + "_stored.png"))));
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
  const listing = await json(api("list", { file: state.file, ...(state.lang ? { lang: state.lang } : {}) }));
  for (const type of listing.types) {
    const typeArg = typeArgument(type);
    if (typeArg !== state.type) continue;
    for (const item of type.ResourceItems) if (nameArgument(item) === state.name) return item.Size;
  }
  return 0;
}

$("filter").addEventListener("input", applyFilter);
$("filter").addEventListener("keydown", (event) => fileListKey(event, true));
$("file-list").addEventListener("keydown", (event) => fileListKey(event, false));
$("file-list").addEventListener("focus", () => {
  if (!$("file-list").querySelector("li.active")) setActiveFile(openableFiles()[0] || null);
});
// Back, Forward and a hash edited in the address bar: the page follows the address.
window.addEventListener("popstate", followAddress);
window.addEventListener("hashchange", followAddress);
Object.assign(state, readHash());
showFiles();
showWhere();
if (state.file) openFile(state.file, { keepSelection: true, fromAddress: true });
