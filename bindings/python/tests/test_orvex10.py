"""The orvex10 module as a script host uses it: objects by ProgID, members by name."""
import os
import pydoc
import threading

import pytest

import orvex10

SAMPLE = os.environ["ORVEX_SAMPLE_MODULE"]


def catalogue(path=SAMPLE):
    c = orvex10.Dispatch("Orvex10.clsQ7ResfResourceTypesA")
    c.Filename = path
    return c


def type_names(c):
    c.Clear()
    c.EnumResourceTypesStart()
    return [c.Item(i).NameLong for i in range(1, c.Count + 1)]


def test_lists_the_sample_modules_types_and_items():
    c = catalogue()
    names = type_names(c)
    assert names and len(c) == len(names)
    record = c.Item(1)
    items = record.ResourceItems
    assert items.Count >= 1
    assert isinstance(items.Item(1).Size, int)
    assert c.filename == SAMPLE  # names without regard to case


def test_conversions_both_ways():
    c = catalogue()
    data = c.GetDataArray("10", "#1")
    assert isinstance(data, (bytes, type(None)))
    assert c.GetDataArray("10", "#65000") is None
    assert c.ShowText("", None) is False


def test_a_python_object_serves_as_a_text_box():
    class TextBox:
        Text = ""

    box = TextBox()
    c = catalogue()
    assert c.ShowText("hello", box) is True
    assert box.Text == "hello"
    assert c.ShowText("x" * 65535, box) is False
    assert box.Text.startswith("Text too long")


def test_errors_carry_number_description_and_source():
    with pytest.raises(orvex10.AutomationError) as caught:
        orvex10.Dispatch("No.SuchClass")
    assert caught.value.number == 429
    with pytest.raises(AttributeError):
        catalogue().NoSuchMember
    with pytest.raises(orvex10.AutomationError) as caught:
        catalogue().Remove(2 ** 40)
    assert caught.value.number == 6


def test_by_reference_arguments_come_back_when_asked():
    c = catalogue()
    result = c.FindIndexByName.call_byref("nothing")
    assert isinstance(result, tuple) and result[0] == 0 and result[1] == "nothing"


def test_two_threads_list_two_modules_at_once():
    results = {}

    def run(key):
        results[key] = type_names(catalogue())

    threads = [threading.Thread(target=run, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results[0] == results[1] and results[0]


def test_many_calls_keep_working():
    c = catalogue()
    type_names(c)
    for _ in range(10000):
        c.Count
    assert c.Count > 0


def test_iteration_indexing_and_member_names():
    c = catalogue()
    type_names(c)
    record = c[1]
    assert record.NameLong == c.Item(1).NameLong
    names = [item.NameLong for item in record.ResourceItems]
    assert len(names) == record.ResourceItems.Count
    assert [r.NameLong for r in c] == [c.Item(i).NameLong for i in range(1, c.Count + 1)]
    assert "GetPicture" in dir(c)


def test_keyword_arguments_by_parameter_name():
    c = catalogue()
    assert c.GetDataArray(ResName="#1", ResType="10") == c.GetDataArray("10", "#1")


def test_reports_and_message_boxes_go_to_the_callables_set():
    reports, boxes = [], []
    orvex10.on_report(lambda number, description, source: reports.append((number, source)))
    orvex10.on_message_box(lambda text, caption, style: boxes.append(text) or 1)
    try:
        c = catalogue()
        assert c.GetHexDump("10", "#65000") == ""
        assert reports and reports[-1][1] == "clsQ7ResfResourceTypesA.GetHexDump"
        c.Filename = "/no/such/module.dll"
        assert boxes == ["Invalid Library"]
    finally:
        orvex10.on_report(None)
        orvex10.on_message_box(None)


def test_pictures_save_as_png(tmp_path):
    c = catalogue()
    picture = c.GetPicture(14, "#1") or c.GetPicture(2, "#1")
    if picture is None:
        pytest.skip("the sample module has no group icon or bitmap #1")
    assert picture.Type in (1, 3) and picture.Width > 0
    path = tmp_path / "p.png"
    picture.save_png(str(path))
    assert path.read_bytes()[:4] == b"\x89PNG"


def test_no_leak_over_ten_thousand_calls_and_proxies_outlive_their_module():
    def rss():
        with open("/proc/self/statm") as f:
            return int(f.read().split()[1]) * 4096

    c = catalogue()
    type_names(c)
    item = c.Item(1).ResourceItems.Item(1)
    for _ in range(2000):
        c.Item(1).ResourceItems.Item(1).Size
    before = rss()
    for _ in range(10000):
        c.Item(1).ResourceItems.Item(1).Size
    assert rss() - before < 4 * 1024 * 1024
    # The module goes away; the item keeps its values.
    size = item.Size
    c.Filename = ""
    del c
    assert item.Size == size


def test_help_lists_members_with_their_parameters():
    import pydoc

    text = pydoc.render_doc(catalogue(), renderer=pydoc.plaintext)
    assert "GetPicture(ResType: ResTypes (by reference), ResName: String) -> IPictureDisp" in text
    assert "Filename: String (read and write)" in text


class CallbackFault(Exception):
    pass


def test_an_exception_in_a_callback_comes_out_of_the_call_that_caused_it():
    def report(number, description, source):
        raise CallbackFault(source)

    def box(text, caption, style):
        raise CallbackFault(text)

    c = catalogue()
    try:
        orvex10.on_report(report)
        with pytest.raises(CallbackFault, match="GetHexDump"):
            c.GetHexDump("10", "#65000")
        assert c.GetHexDump("10", "#1")  # nothing left over for the next call
        orvex10.on_message_box(box)
        with pytest.raises(CallbackFault, match="Invalid Library"):
            c.Filename = "/no/such/module.dll"
    finally:
        orvex10.on_report(None)
        orvex10.on_message_box(None)


def test_strict_mode_turns_reports_and_error_boxes_into_automation_errors():
    c = catalogue()
    with orvex10.strict():
        assert orvex10.is_strict()
        with pytest.raises(orvex10.AutomationError) as caught:
            c.Filename = "/no/such/module.dll"
        assert caught.value.description == "Invalid Library"
        c.Filename = SAMPLE
        with pytest.raises(orvex10.AutomationError) as caught:
            c.GetHexDump("10", "#65000")
        assert caught.value.source == "clsQ7ResfResourceTypesA.GetHexDump"
        assert caught.value.number != 0
        assert c.GetHexDump("10", "#1")
    assert not orvex10.is_strict()
    with pytest.warns(UserWarning):
        assert c.GetHexDump("10", "#65000") == ""
    # As a module switch: on until switched off.
    orvex10.strict()
    try:
        with pytest.raises(orvex10.AutomationError):
            catalogue("/no/such/module.dll")
    finally:
        orvex10.strict(False)
    assert not orvex10.is_strict()


def test_help_shows_parameters_and_result_types_from_the_class_table():
    c = catalogue()
    text = pydoc.render_doc(c, renderer=pydoc.plaintext)
    assert "clsQ7ResfResourceTypesA (Orvex10.clsQ7ResfResourceTypesA) members:" in text
    assert "GetHexDump(ResType: String, ResName: String) -> String" in text
    assert "Count: Long (read-only)" in text
    assert "[bDeleteTmpFile: Boolean (by reference)]" in text
    member = pydoc.render_doc(c.GetString, renderer=pydoc.plaintext)
    assert "GetString(ResName: String) -> String" in member
    type_names(c)
    assert "NameLong: String" in pydoc.render_doc(c.Item(1), renderer=pydoc.plaintext)


LANGUAGES = os.path.join(
    os.path.dirname(__file__), "..", "..", "..", "tests", "fixtures", "rc", "languages.dll"
)


def test_set_language_chooses_among_a_resources_languages():
    c = catalogue(LANGUAGES)
    cases = [
        # raw data #2 is stored in fr-BE, de-AT and nl-NL: de-AT when chosen, else the lowest
        (None, "en-US", b"nl-NL"),
        ("0407", "de-DE", b"nl-NL"),
        ("0x0c07", "de-AT", b"de-AT"),
        ("de-AT", "de-AT", b"de-AT"),
        (0x040C, "fr-FR", b"nl-NL"),
        ("ja-JP", "ja-JP", b"nl-NL"),
    ]
    try:
        for language, text, data in cases:
            chosen = orvex10.set_language(language)
            assert chosen == orvex10.get_language()
            assert text in c.GetString("#1"), language
            assert c.GetDataArray("10", "#2").startswith(data), language
        # Another thread reads in its own UI language (the default), as on Windows.
        seen = []
        worker = threading.Thread(target=lambda: seen.append(orvex10.get_language()))
        worker.start()
        worker.join()
        assert seen == [0x0409] and orvex10.get_language() == 0x0411
        for bad in ["xx-YY", "", "12345", "0", 0, 0x10000, -1]:
            with pytest.raises(ValueError):
                orvex10.set_language(bad)
        with pytest.raises(TypeError):
            orvex10.set_language(1.5)
        assert orvex10.get_language() == 0x0411  # a refused choice leaves the one before
    finally:
        assert orvex10.set_language(None) == 0x0409
