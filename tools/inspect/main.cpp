// murmur-inspect: prints content files readably, or as JSON with --json.
#include "tools/inspect/describe_file.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage(std::FILE* to) {
    std::fputs("usage: murmur-inspect [--json] FILE...\n"
               "Prints geometry (.geo), animation (.ani), camera list (.cam), material (.mat),\n"
               "bitmap font (.xml) and image (.png, .jpg) files; --json prints one JSON document\n"
               "per file. Files that cannot be read are reported on standard error and make the\n"
               "exit status 1.\n",
               to);
}

}  // namespace

int main(int argc, char** argv) {
    bool json = false;
    bool options = true;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (options && std::strcmp(a, "--") == 0) {
            options = false;
        } else if (options && std::strcmp(a, "--json") == 0) {
            json = true;
        } else if (options && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)) {
            usage(stdout);
            return 0;
        } else if (options && a[0] == '-' && a[1] != '\0') {
            std::fprintf(stderr, "murmur-inspect: unknown option %s\n", a);
            usage(stderr);
            return 2;
        } else {
            files.emplace_back(a);
        }
    }
    if (files.empty()) {
        usage(stderr);
        return 2;
    }
    int status = 0;
    for (const std::string& file : files) {
        Value v;
        std::string error;
        if (!inspectFile(file, v, error)) {
            std::fflush(stdout);
            std::fprintf(stderr, "murmur-inspect: %s: %s\n", file.c_str(), error.c_str());
            status = 1;
            continue;
        }
        const std::string out = json ? toJson(v) : file + "\n" + toText(v) + "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    std::fflush(stdout);
    return status;
}
