# The daily usage report end to end against a real HTTPS statistics endpoint.
# The report goes out once per process, so each case runs in a process of its own.
add_executable(online_usage_statistics
  ${CMAKE_CURRENT_LIST_DIR}/UsageStatisticsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TestServer.cpp ${CMAKE_CURRENT_LIST_DIR}/TestServer.h)
target_link_libraries(online_usage_statistics PRIVATE scribbloom_online scribbloom_resources Qt5::Test)
set_target_properties(online_usage_statistics PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SCRIBBLOOM_BIN_DIR})
foreach(case reportRoundTripCarriesEveryParameter markerKeepsTheRestOfTheSettingsFile
             markerOfTodaySendsNothing doNotTrackSendsNothingAndStartsNoThread
             serverErrorStillKeepsTodaysMarker unverifiedServerNeverSeesTheReport
             unwritableUserFolderStillReports
             statisticsHostCanBeOverridden)
  scribbloom_register_test(online_usage_statistics.${case}
    $<TARGET_FILE:online_usage_statistics> ${case}
    TIMEOUT 180)
endforeach()
