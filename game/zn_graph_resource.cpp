#include "zn_graph_resource.h"

#include "api.h"

void ZnGraphResource::loadGraphAt(int i, const char* file) {
    loadGraph(at(static_cast<uint32_t>(i)), file);
}

void ZnGraphResource::loadDivGraphAt(int i, const char* file, int count, int xnum, int ynum,
                                     int w, int h) {
    loadDivGraph(at(static_cast<uint32_t>(i)), file, count, xnum, ynum, w, h);
}

void ZnGraphResource::loadGraph(DhGraph& g, const char* file) {
    g.handles().resize(1);
    int handle = ApiLoadGraphFromPath(file, 0);
    g.handles().at(0) = handle;
    if (handle == -1) throw "ZnGraphResource::loadGraph error";
    int width = 0;
    int height = 0;
    ApiQueryGraphSize(handle, &width, &height);
    g.setSize(width, height);
}

void ZnGraphResource::loadDivGraph(DhGraph& g, const char* file, int count, int xnum, int ynum,
                                   int w, int h) {
    g.handles().resize(count > 0 ? static_cast<uint32_t>(count) : 0);
    int result = ApiLoadDivGraphFromPath(file, count, xnum, ynum, w, h, g.handles().data(), 0);
    if (result == -1) throw "ZnGraphResource::loadDivGraph error";
    g.setSize(w, h);
}
