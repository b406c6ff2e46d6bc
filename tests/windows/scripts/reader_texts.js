// Prints, for each module named on the command line, the catalogue (types with their items
// and sizes) and every reader's text of every resource, exactly as reader_texts.py prints
// them through the Linux build: the two outputs must be equal. Characters outside
// printable ASCII are written as \uXXXX so that the console's code page plays no part.
function escapeText(text) {
  var out = "";
  text = String(text);
  for (var i = 0; i < text.length; ++i) {
    var code = text.charCodeAt(i);
    if (code >= 32 && code <= 126) {
      out += text.charAt(i);
    } else {
      var hex = code.toString(16).toUpperCase();
      out += "\\u" + "0000".substr(hex.length) + hex;
    }
  }
  return out;
}

function show(label, text) {
  WScript.Echo(label + ": " + escapeText(text));
}

var readers = {
  "4": ["menu", function (c, type, name) { return c.GetMenuText(name); }],
  "6": ["strings", function (c, type, name) { return c.GetString(name); }],
  "9": ["accelerators", function (c, type, name) { return c.GetAccelerators(name); }],
  "11": ["messages", function (c, type, name) { return c.GetMessageTable(name); }],
  "23": ["html", function (c, type, name) { return c.GetHTML(type, name); }]
};

// One catalogue for all modules (the thread's current catalogue stays this one).
var c = new ActiveXObject("Orvex10.clsQ7ResfResourceTypesA");
for (var k = 0; k < WScript.Arguments.length; ++k) {
  c.Filename = WScript.Arguments(k);
  c.Clear();
  c.EnumResourceTypesStart();
  WScript.Echo("module " + c.FilePartFileName + ": " + c.Count + " types");
  show("version", c.GetVersionInfo());
  for (var i = 1; i <= c.Count; ++i) {
    var record = c.Item(i);
    var style = record.Style;
    var type = style >= 0 && style <= 65535 ? String(style) : record.NameLong;
    var items = record.ResourceItems;
    WScript.Echo("type " + escapeText(record.NameLong) + " (" + type + "): " + items.Count + " items");
    for (var j = 1; j <= items.Count; ++j) {
      var item = items.Item(j);
      var name = /^[0-9]+$/.test(item.NameLong) ? "#" + item.NameLong : item.NameLong;
      WScript.Echo("item " + escapeText(name) + " size " + item.Size);
      show("hex", c.GetHexDump(type, name));
      var reader = readers[type];
      if (reader) show(reader[0], reader[1](c, type, name));
    }
  }
}
