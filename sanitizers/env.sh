# Sanitizer run-time options for the sanitizer presets; source it before
# running anything built with them. Every report ends the process with a
# failing exit code, so a test or a fuzz run cannot pass over one.
pixmora_sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The leak suppressions name functions, so stacks must be symbolized; the
# versioned tool chain has no unversioned llvm-symbolizer on the path.
pixmora_symbolizer=
for candidate in /usr/bin/llvm-symbolizer-14 /usr/lib/llvm-14/bin/llvm-symbolizer; do
    if [ -x "$candidate" ]; then
        pixmora_symbolizer=":external_symbolizer_path=$candidate"
        break
    fi
done
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1$pixmora_symbolizer"
export LSAN_OPTIONS="suppressions=$pixmora_sanitizer_dir/lsan.supp:print_suppressions=0$pixmora_symbolizer"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1$pixmora_symbolizer"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1$pixmora_symbolizer"
