#include <gtest/gtest.h>

#include <string>

#include "tests/game/stand_in/library_stand_in.h"
#include "zn_graph_resource.h"

namespace {

std::string thrownText(void (*load)(ZnGraphResource&), ZnGraphResource& table) {
    try {
        load(table);
    } catch (const char* text) {
        return text;
    }
    return "";
}

TEST(ZnGraphResourceTest, WholeImageTakesItsSizeFromTheLibrary) {
    LibraryStandIn lib;
    lib.setGraphSize("res\\Player.bmp", 24, 40);
    ZnGraphResource graphs;
    graphs.resize(2);
    graphs.loadGraphAt(1, "res\\Player.bmp");
    const DhGraph& g = graphs.at(1);
    EXPECT_EQ(g.getCount(), 1);
    EXPECT_NE(g.getHandle(0), -1);
    EXPECT_EQ(g.getWidth(), 24);
    EXPECT_EQ(g.getHeight(), 40);
    EXPECT_EQ(lib.calls()[0], (StandInCall{"loadGraph", 0, 0, 0, "res\\Player.bmp"}));
    EXPECT_EQ(graphs.at(0).getCount(), 0);
}

TEST(ZnGraphResourceTest, TiledImageHasOneHandlePerTileAndTheTileSize) {
    LibraryStandIn lib;
    ZnGraphResource graphs;
    graphs.resize(1);
    graphs.loadDivGraphAt(0, "res\\explode.bmp", 12, 3, 4, 48, 48);
    const DhGraph& g = graphs.at(0);
    ASSERT_EQ(g.getCount(), 12);
    for (int i = 1; i < 12; ++i) EXPECT_EQ(g.getHandle(i), g.getHandle(0) + i);
    EXPECT_EQ(g.getWidth(), 48);
    EXPECT_EQ(g.getHeight(), 48);
    EXPECT_EQ(lib.calls()[0], (StandInCall{"loadDivGraph", 12, 0, 0, "res\\explode.bmp"}));
}

TEST(ZnGraphResourceTest, FailedLoadsThrowTheirMessage) {
    LibraryStandIn lib;
    lib.failFile("res\\Player.bmp");
    lib.failFile("res\\frame.bmp");
    ZnGraphResource graphs;
    graphs.resize(1);
    EXPECT_EQ(thrownText([](ZnGraphResource& t) { t.loadGraphAt(0, "res\\Player.bmp"); }, graphs),
              "ZnGraphResource::loadGraph error");
    EXPECT_EQ(thrownText([](ZnGraphResource& t) {
                  t.loadDivGraphAt(0, "res\\frame.bmp", 4, 2, 2, 32, 32);
              }, graphs),
              "ZnGraphResource::loadDivGraph error");
}

TEST(ZnGraphResourceTest, ResizeDropsLoadedGraphs) {
    LibraryStandIn lib;
    ZnGraphResource graphs;
    graphs.resize(1);
    graphs.loadDivGraphAt(0, "res\\bomb.bmp", 8, 8, 1, 16, 32);
    graphs.resize(1);
    EXPECT_EQ(graphs.at(0).getCount(), 0);
    EXPECT_EQ(graphs.at(0).getWidth(), 0);
}

}  // namespace
