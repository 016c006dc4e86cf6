// zelvo-include-check: holds every `#include "…"` under src/ and tools/
// against the library graph the build declared, and lists what it breaks.
//   zelvo-include-check SOURCE_DIR GRAPH_FILE
// Exit status 0 when the tree keeps to the graph, 1 when it does not, 2 for
// bad arguments.
#include <fstream>
#include <iostream>

#include "IncludeGraph.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zelvo-include-check SOURCE_DIR GRAPH_FILE\n";
        return 2;
    }
    std::ifstream in(argv[2]);
    const std::vector<IncludeGraph::Target> graph = IncludeGraph::ReadGraph(in);
    if (graph.empty()) {
        std::cerr << "zelvo-include-check: no declared targets in " << argv[2] << "\n";
        return 2;
    }
    const std::vector<std::string> violations = IncludeGraph::Violations(argv[1], graph);
    for (const std::string& violation : violations) std::cout << violation << "\n";
    if (!violations.empty()) return 1;
    std::cout << "The includes of src/ and tools/ keep to the " << graph.size() << " declared targets.\n";
    return 0;
}
