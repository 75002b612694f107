# shellcheck shell=bash
# Sourced by the scripts: how many compile jobs every build runs and how many tests ctest runs at
# once. VANTREL_BUILD_JOBS sets it (each test source takes about 1 GB of memory to compile);
# unset, one per core.
vantrel_jobs="${VANTREL_BUILD_JOBS:-$(nproc)}"
if ! [[ "$vantrel_jobs" =~ ^[1-9][0-9]*$ ]]; then
  echo "VANTREL_BUILD_JOBS must be a whole number of jobs, 1 or more (it is \"$vantrel_jobs\")" >&2
  exit 2
fi
