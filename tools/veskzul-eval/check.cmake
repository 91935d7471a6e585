# Runs veskzul-eval the way a developer would and checks what it prints and
# how it exits. Called by ctest with TOOL, DATA and WORK set.
set(pinned --now 2025-01-10T15:00:00Z --tz UTC)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect_output name expected_file)
  execute_process(COMMAND "${TOOL}" ${ARGN}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(READ "${expected_file}" expected)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${name}: exit code ${code}, stderr: ${err}")
  endif()
  if(NOT out STREQUAL expected)
    message(FATAL_ERROR "${name}: output differs from ${expected_file}:\n${out}")
  endif()
endfunction()

function(expect_failure name pattern)
  execute_process(COMMAND "${TOOL}" ${ARGN}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 2)
    message(FATAL_ERROR "${name}: expected exit code 2, got ${code}; stdout: ${out}")
  endif()
  if(NOT err MATCHES "${pattern}")
    message(FATAL_ERROR "${name}: stderr does not say what went wrong (${pattern}): ${err}")
  endif()
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "${name}: printed a result despite the error: ${out}")
  endif()
endfunction()

# A note file named on the command line, and the same from standard input.
expect_output("file argument" "${DATA}/starter-budget.expected.json" ${pinned} "${DATA}/starter-budget.note")
execute_process(COMMAND "${TOOL}" ${pinned} INPUT_FILE "${DATA}/starter-scratch.note"
  RESULT_VARIABLE code OUTPUT_VARIABLE out)
file(READ "${DATA}/starter-scratch.expected.json" expected)
if(NOT code EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "standard input: exit code ${code}, output:\n${out}")
endif()

# The options reach the engine: another default currency and rate table.
file(WRITE "${WORK}/mixed.note" "100 USD\n50 EUR\nsum\n")
file(WRITE "${WORK}/rates.json" "{\"ratesPerUSD\": {\"USD\": 1, \"EUR\": 0.5, \"TRY\": 40}, \"isLive\": true}")
execute_process(COMMAND "${TOOL}" ${pinned} --currency eur --rates "${WORK}/rates.json" "${WORK}/mixed.note"
  RESULT_VARIABLE code OUTPUT_VARIABLE out)
if(NOT code EQUAL 0 OR NOT out MATCHES "\"formattedResult\":\"100 EUR\",\"kind\":\"aggregate\"")
  message(FATAL_ERROR "--currency/--rates: exit code ${code}, output:\n${out}")
endif()

# A system time zone that does not exist counts days in UTC, and says so.
foreach(zone "Europe/Istambul" "Nowhere/Nope" "UTC+99")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "TZ=${zone}" "${TOOL}" --now 2025-01-10T15:00:00Z
    INPUT_FILE "${DATA}/starter-scratch.note" OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT out MATCHES "\"2025-01-24\"" OR NOT err MATCHES "is unknown; dates are counted in UTC")
    message(FATAL_ERROR "TZ=${zone}: output:\n${out}\nstderr: ${err}")
  endif()
endforeach()

# Bad options and unreadable inputs: exit code 2, a reason, no output.
expect_failure("missing file" "cannot read" "${WORK}/no-such.note")
expect_failure("unknown option" "bogus" --bogus "${WORK}/mixed.note")
expect_failure("two files" "at most one" "${WORK}/mixed.note" "${WORK}/mixed.note")
expect_failure("bad currency" "--currency" --currency "T R" "${WORK}/mixed.note")
expect_failure("bad instant" "--now" --now "yesterday-ish" "${WORK}/mixed.note")
expect_failure("bad zone" "--tz" --tz "Nowhere/Atlantis" "${WORK}/mixed.note")
expect_failure("missing rates" "rates file" --rates "${WORK}/no-rates.json" "${WORK}/mixed.note")
file(WRITE "${WORK}/broken.json" "{\"ratesPerUSD\": ")
expect_failure("rates not JSON" "not JSON" --rates "${WORK}/broken.json" "${WORK}/mixed.note")
file(WRITE "${WORK}/wrong.json" "{\"ratesPerUSD\": {\"USD\": \"one\"}, \"isLive\": false}")
expect_failure("rates not a table" "not a rate table" --rates "${WORK}/wrong.json" "${WORK}/mixed.note")
