# Read by ctest after the discovered tests. The module-details code names its catalogue itself,
# so the tests that run it share one copy of the test database and its run counter: they take
# turns on it (every other database test works on a copy of its own).
set_tests_properties(
  "ModuleDetailsTest.RecordsTheModulesDetailsAndEachTimeItRuns"
  "DebugLogTest.TheModulesDetailsGoAsFourParametersInTheirOrder"
  PROPERTIES RESOURCE_LOCK shared_catalog)
