// What the tests type into the programs' number fields, from one source for the host and the
// shipped tests: the hostile texts that every field must survive, and random texts of every kind.
#pragma once

#include <random>
#include <string>
#include <vector>

// Malformed, extreme and huge texts, and values at the edges of the double range.
const std::vector<std::string>& hostile_texts();

// Short decimals, 17 digits, extreme exponents, malformed, empty, long (past a field's 511
// characters), or one of the hostile texts of up to 64 characters.
std::string random_input_text(std::mt19937& random);
