#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "content/shader_program.h"

class ContentManager;

// Looks a program up by name, binds its attributes to the fixed locations,
// relinks and (when that links) validates. Returns the program, or null with
// the reason appended to problems (when given) if it is missing or does not
// link: a pass without its program is left out rather than drawn broken.
ShaderProgram* prepareProgram(const ContentManager& content, const char* name,
                              std::initializer_list<AttributeBinding> bindings, std::vector<std::string>* problems);

// Appends "message" to problems when a list is given.
void reportProblem(std::vector<std::string>* problems, std::string message);
