# Warnings for the project's own targets; third-party headers come in as system headers.
add_library(blinkwit_warnings INTERFACE)
target_compile_options(blinkwit_warnings INTERFACE -Wall -Wextra -Wpedantic
                       # Designated initializers rely on default member values.
                       -Wno-missing-field-initializers)
