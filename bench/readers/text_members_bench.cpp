// The text members through the catalogue's interface against GetDataArray for the same
// resources: a module with 500 string blocks, 200 menus and 50 accelerator tables, every
// resource of a kind read once per iteration. The per-resource cost of a member shows in
// items_per_second beside the GetDataArray run of the same kind.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "catalogue_environment.h"
#include "pe_writer/pe_writer.h"
#include "pe_writer/resource_payloads.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"

namespace orvex {
namespace {

constexpr int kStringBlocks = 500;
constexpr int kMenus = 200;
constexpr int kAcceleratorTables = 50;

test::MenuItem MenuPopup(int menu, int popup) {
  std::vector<test::MenuItem> items;
  for (int i = 0; i < 8; ++i) {
    const auto id = static_cast<uint32_t>(menu * 100 + popup * 10 + i);
    if (i == 4) items.push_back(test::Separator());
    items.push_back(test::Command(u"&Command " + Utf8ToUtf16(std::to_string(id)) + u"\tCtrl+K", id,
                                  i == 2 ? 0x08u : 0u));
  }
  return test::Popup(u"&Popup " + Utf8ToUtf16(std::to_string(popup)), items, 1000u + popup);
}

struct Module {
  Module() {
    test::PeWriter writer;
    for (int block = 1; block <= kStringBlocks; ++block) {
      std::vector<std::u16string> strings(16);
      for (int i = 0; i < 16; ++i) {
        if ((block + i) % 5 == 0) continue;  // some absent strings
        strings[static_cast<size_t>(i)] =
            u"String " + Utf8ToUtf16(std::to_string((block - 1) * 16 + i)) + u" of the module\n";
      }
      writer.Add(6, static_cast<uint16_t>(block), 0x0409, test::StringBlock(strings));
      names[0].push_back(u"#" + Utf8ToUtf16(std::to_string(block)));
    }
    for (int menu = 1; menu <= kMenus; ++menu) {
      std::vector<test::MenuItem> bar;
      for (int popup = 0; popup < 3; ++popup) bar.push_back(MenuPopup(menu, popup));
      // Half classic, half extended templates.
      writer.Add(4, static_cast<uint16_t>(menu), 0x0409,
                 menu % 2 ? test::ClassicMenu(bar) : test::ExtendedMenu(bar));
      names[1].push_back(u"#" + Utf8ToUtf16(std::to_string(menu)));
    }
    for (int table = 1; table <= kAcceleratorTables; ++table) {
      std::vector<test::Accelerator> entries;
      for (int i = 0; i < 20; ++i) {
        entries.push_back({static_cast<uint16_t>(1 | (i % 4) * 4), static_cast<uint16_t>(0x41 + i),
                           static_cast<uint16_t>(table * 100 + i)});
      }
      writer.Add(9, static_cast<uint16_t>(table), 0x0409, test::Accelerators(entries));
      names[2].push_back(u"#" + Utf8ToUtf16(std::to_string(table)));
    }
    catalogue = environment.Open(writer, "text.dll");
  }
  bench::CatalogueEnvironment environment;
  ComPtr<IDispatch> catalogue;
  std::vector<std::u16string> names[3];  // strings, menus, accelerators
};

Module& TheModule() {
  static Module* module = new Module();
  return *module;
}

struct Kind {
  const char16_t* type;
  const char* member;
};
constexpr Kind kKinds[] = {{u"6", "GetString"}, {u"4", "GetMenuText"}, {u"9", "GetAccelerators"}};

// range(0): the kind (0 strings, 1 menus, 2 accelerators).
void BM_GetDataArray(benchmark::State& state) {
  Module& module = TheModule();
  const Kind& kind = kKinds[state.range(0)];
  const std::vector<std::u16string>& names = module.names[state.range(0)];
  const DISPID id = GetDispId(module.catalogue.Get(), "GetDataArray");
  std::vector<Variant> args;
  for (const auto& name : names) {
    args.emplace_back(kind.type);
    args.emplace_back(name);
  }
  for (auto _ : state) {
    for (size_t i = 0; i < names.size(); ++i) {
      Variant data = InvokeById(module.catalogue.Get(), id, DISPATCH_METHOD,
                                std::span<const Variant>(&args[2 * i], 2));
      benchmark::DoNotOptimize(data.parray);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
  state.SetLabel(kind.member);
}

void BM_RenderText(benchmark::State& state) {
  Module& module = TheModule();
  const Kind& kind = kKinds[state.range(0)];
  const std::vector<std::u16string>& names = module.names[state.range(0)];
  const DISPID id = GetDispId(module.catalogue.Get(), kind.member);
  std::vector<Variant> args(names.begin(), names.end());
  for (auto _ : state) {
    for (const Variant& name : args) {
      Variant text = InvokeById(module.catalogue.Get(), id, DISPATCH_METHOD,
                                std::span<const Variant>(&name, 1));
      benchmark::DoNotOptimize(text.bstrVal);
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
  state.SetLabel(kind.member);
}

BENCHMARK(BM_GetDataArray)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderText)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
