#include "lang/tools/helpers/po_catalogs.h"

#include "common/testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

lang::PoCatalog LoadCatalog(const std::string& name) {
    std::ifstream in(testkit::SourceDir() + "/lang/po/" + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    lang::PoCatalog catalog;
    std::string error;
    EXPECT_TRUE(lang::ParsePo(ss.str(), catalog, error)) << name << ": " << error;
    return catalog;
}

lang::PoEntry& Entry(lang::PoCatalog& po, const std::string& key) {
    auto it = std::find_if(po.entries.begin(), po.entries.end(),
                           [&](const lang::PoEntry& e) { return e.strContext == key; });
    EXPECT_NE(it, po.entries.end()) << key;
    return *it;
}
