# The real program reports its use at start-up to a statistics endpoint on 127.0.0.1.
scribbloom_register_test(online_program_usage_report
  /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/program_usage_report.py $<TARGET_FILE:Scribbloom>
  TIMEOUT 180)

# Quitting while the report waits for a slow server ends the program at once
# and cleanly; driven on its own virtual X display like the end-to-end tests.
scribbloom_register_test(online_program_quit_during_report
  /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/program_quit_during_report.py
  TIMEOUT 120 LABELS e2e)
