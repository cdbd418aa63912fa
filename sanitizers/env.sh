# Sanitizer run-time options for the sanitizer presets; source it before
# running anything built with them. Every report ends the process with a
# failing exit code, so a test or a fuzz run cannot pass over one.
pixmora_sanitizer_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$pixmora_sanitizer_dir/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
