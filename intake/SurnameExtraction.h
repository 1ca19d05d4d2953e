#pragma once

#include <string>
#include <vector>

namespace tombra::intake {

// Shortens the players' names of one school for the bracket: "山田　太郎" becomes "山田"; when
// two players of the school share the surname, both keep the first character of the given
// name ("山田(太)", "山田(花)"). Only the first five characters are searched for the blank
// between surname and given name (half-width or full-width); a name without one there stays
// as it is.
void extractSurnames(std::vector<std::string>& names);

// The same for the pairs of one school, each "name・name" (or two names on two lines): all
// halves of the school are shortened together, so a surname shared by any two of its players
// is extended, and each pair is joined again with its own separator.
void extractPairSurnames(std::vector<std::string>& pairs);

}  // namespace tombra::intake
