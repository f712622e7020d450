#include "ui/module1.h"

namespace talvoren::Module1 {

std::string SelectedFolder;

}  // namespace talvoren::Module1
