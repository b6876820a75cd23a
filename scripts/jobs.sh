# Sourced by the scripts: how many jobs to build and test with.
# NAMEWRIGHT_JOBS wins; else CMake's and CTest's own variables; else every core.
build_jobs=${NAMEWRIGHT_JOBS:-${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}}
test_jobs=${NAMEWRIGHT_JOBS:-${CTEST_PARALLEL_LEVEL:-$(nproc)}}
