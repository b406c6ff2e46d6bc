"""The orvex10 module as a script host uses it: objects by ProgID, members by name."""
import os
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
