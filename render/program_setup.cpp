#include "render/program_setup.h"

#include <utility>

#include "content/content_manager.h"

void reportProblem(std::vector<std::string>* problems, std::string message) {
    if (problems) problems->push_back(std::move(message));
}

ShaderProgram* prepareProgram(const ContentManager& content, const char* name,
                              std::initializer_list<AttributeBinding> bindings, std::vector<std::string>* problems) {
    ShaderProgram* program = content.findProgram(name);
    if (!program) {
        reportProblem(problems, std::string("program ") + name + " is missing");
        return nullptr;
    }
    if (!program->bindAttributes(bindings)) {
        reportProblem(problems, linkProblem(name, *program));
        return nullptr;
    }
    return program;
}
