// Every text reader over a few of the system's own DLLs, through JScript: each resource's
// reader text is a string and the hex dump's length follows from the listed size.
// Argument 0: the folder of the fixture modules (unused here).
var failures = 0;
function check(ok, what) {
  WScript.Echo((ok ? "ok   " : "FAIL ") + what);
  if (!ok) ++failures;
}

var modules = ["C:\\windows\\system32\\comdlg32.dll", "C:\\windows\\system32\\shell32.dll",
               "C:\\windows\\system32\\user32.dll"];
// One catalogue for all: a catalogue made while another still lives would find the thread's
// slot emptied when the other one goes (the library's rule for its current catalogue).
var c = new ActiveXObject("Orvex10.clsQ7ResfResourceTypesA");
for (var m = 0; m < modules.length; ++m) {
  c.Filename = modules[m];
  c.Clear();
  c.EnumResourceTypesStart();
  check(c.Count > 0, modules[m] + ": " + c.Count + " types");
  var texts = 0, bad = 0;
  for (var i = 1; i <= c.Count; ++i) {
    var record = c.Item(i);
    var style = record.Style;
    if (style < 0 || style > 65535) continue;
    var items = record.ResourceItems;
    for (var j = 1; j <= items.Count && j <= 40; ++j) {
      var name = items.Item(j).NameLong;
      name = /^[0-9]+$/.test(name) ? "#" + name : name;
      var text = null;
      if (style == 4) text = c.GetMenuText(name);
      else if (style == 6) text = c.GetString(name);
      else if (style == 9) text = c.GetAccelerators(name);
      else if (style == 11) text = c.GetMessageTable(name);
      else if (style == 23) text = c.GetHTML(String(style), name);
      if (text !== null) {
        ++texts;
        if (typeof text != "string" || text.length == 0) ++bad;
      }
      var size = items.Item(j).Size;
      var dump = c.GetHexDump(String(style), name);
      // 16 bytes a line: "OOOOOOOO | " + 16 * "XX " + "| " + 16 characters + CR LF = 79.
      var lines = Math.ceil(size / 16);
      if (dump.length != lines * 79) ++bad;
    }
  }
  check(bad == 0, modules[m] + ": " + texts + " reader texts and every hex dump well formed (" + bad + " bad)");
  check(c.GetVersionInfo().indexOf("FileVersion") >= 0, modules[m] + ": version text");
}
WScript.Quit(failures);
